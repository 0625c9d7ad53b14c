#pragma once

#include <optional>
#include <string>

// What the program finds about the desktop it was started in.
struct SessionFacts {
    std::string qpaPlatform;        // QT_QPA_PLATFORM, as the user set it
    std::string waylandDisplay;     // WAYLAND_DISPLAY
    std::string sessionType;        // XDG_SESSION_TYPE
    bool xReachable = false;        // an X server (also Xwayland) answers on DISPLAY
    bool waylandReachable = false;  // a compositor listens on WAYLAND_DISPLAY
};

enum class KeySource { X11Grabs, Portal };

// How the program runs there: Qt's platform to select (none: Qt's own choice or the user's)
// and where the global keys come from; noDisplay when there is nothing to show a window on.
struct SessionChoice {
    std::optional<std::string> qpaPlatform;
    KeySource keys = KeySource::X11Grabs;
    bool noDisplay = false;
};

// In a Wayland session Qt runs on Xwayland where there is one, because minimising and
// restoring the window work there as on X11; the keys come from the desktop's portal, since
// X grabs only see keys while an X window has the focus.
SessionChoice chooseSession(const SessionFacts& facts);
