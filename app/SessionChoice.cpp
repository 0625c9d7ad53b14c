#include "SessionChoice.h"

namespace {

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

SessionChoice chooseSession(const SessionFacts& facts) {
    SessionChoice choice;
    const bool waylandSession = facts.sessionType == "wayland" || !facts.waylandDisplay.empty();
    if (!facts.qpaPlatform.empty()) {
        // The user's choice stands; only a display it needs and cannot have is reported.
        const bool onWayland = startsWith(facts.qpaPlatform, "wayland");
        const bool onX = startsWith(facts.qpaPlatform, "xcb");
        choice.noDisplay = (onWayland && !facts.waylandReachable) || (onX && !facts.xReachable);
        // Xcb in a Wayland session still takes the keys from the desktop; a stale session
        // type with no compositor (a test's own X server, say) does not.
        const bool underCompositor = waylandSession && facts.waylandReachable;
        choice.keys =
            onWayland || (onX && underCompositor) ? KeySource::Portal : KeySource::X11Grabs;
        return choice;
    }
    if (waylandSession && facts.waylandReachable) {
        choice.qpaPlatform = facts.xReachable ? "xcb" : "wayland";
        choice.keys = KeySource::Portal;
        return choice;
    }
    if (facts.xReachable) {
        choice.qpaPlatform = "xcb";
        return choice;
    }
    choice.noDisplay = true;
    return choice;
}
