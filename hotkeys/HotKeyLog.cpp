#include "HotKeyLog.h"

#include <iostream>
#include <utility>

namespace {

HotKeyLog::Sink& sink() {
    static HotKeyLog::Sink current;
    return current;
}

}  // namespace

void HotKeyLog::setWarningSink(Sink newSink) {
    sink() = std::move(newSink);
}

void HotKeyLog::warning(const std::string& message) {
    if (sink()) {
        sink()(message);
    } else {
        std::cerr << "pellucor.hotkeys: " << message << '\n';
    }
}
