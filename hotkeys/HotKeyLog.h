#pragma once

#include <functional>
#include <string>

// Where the registry reports failures it cannot pass on (a destructor must not throw). The
// program points it at its logging; until then warnings go to standard error.
namespace HotKeyLog {

using Sink = std::function<void(const std::string& message)>;

void setWarningSink(Sink sink);
void warning(const std::string& message);

}  // namespace HotKeyLog
