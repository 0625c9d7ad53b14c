#include "DisplayProbe.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

bool xAnswers() {
    if (env("DISPLAY").empty())
        return false;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return ok;
}

bool waylandAnswers(const std::string& display) {
    if (display.empty())
        return false;
    std::string path = display;
    if (path.front() != '/') {
        const std::string runtime = env("XDG_RUNTIME_DIR");
        if (runtime.empty())
            return false;
        path = runtime + "/" + display;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

}  // namespace

SessionFacts probeSession() {
    SessionFacts facts;
    facts.qpaPlatform = env("QT_QPA_PLATFORM");
    facts.waylandDisplay = env("WAYLAND_DISPLAY");
    facts.sessionType = env("XDG_SESSION_TYPE");
    facts.xReachable = xAnswers();
    facts.waylandReachable = waylandAnswers(facts.waylandDisplay);
    return facts;
}
