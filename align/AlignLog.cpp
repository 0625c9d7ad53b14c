#include "AlignLog.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex& sinkMutex() {
    static std::mutex m;
    return m;
}

AlignLogSink& sink() {
    static AlignLogSink s;
    return s;
}

}  // namespace

void setAlignLogSink(AlignLogSink s) {
    std::lock_guard lock(sinkMutex());
    sink() = std::move(s);
}

void alignLog(const std::string& line) {
    std::lock_guard lock(sinkMutex());
    if (sink())
        sink()(line);
    else
        std::fprintf(stderr, "pellucor.align: %s\n", line.c_str());
}
