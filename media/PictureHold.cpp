#include "PictureHold.h"

// Qt first: Xlib's macros (Bool, Status, ...) break Qt's headers.
#include <QGuiApplication>

#include "MediaLog.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xcomposite.h>

namespace {

Display* guiDisplay() {
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

// The display to hold pictures on, or none; asked once.
Display* composingDisplay() {
    static Display* const display = []() -> Display* {
        Display* d = guiDisplay();
        int event = 0, error = 0, major = 0, minor = 2;
        if (!d) {
            return nullptr;
        }
        if (!XCompositeQueryExtension(d, &event, &error) ||
            !XCompositeQueryVersion(d, &major, &minor) || (major == 0 && minor < 2)) {
            qCInfo(lcMedia) << "the X server has no Composite extension: pictures change as each "
                               "player draws them";
            return nullptr;
        }
        return d;
    }();
    return display;
}

}  // namespace

namespace PictureHold {

bool hold(unsigned long window) {
    Display* d = composingDisplay();
    if (!d || window == 0) {
        return false;
    }
    // Errors (a window gone meanwhile) reach Qt's connection, which logs them.
    XCompositeRedirectSubwindows(d, window, CompositeRedirectManual);
    XFlush(d);
    return true;
}

void release(unsigned long window) {
    if (Display* d = composingDisplay(); d && window != 0) {
        XCompositeUnredirectSubwindows(d, window, CompositeRedirectManual);
    }
}

void together(const std::function<void()>& releases) {
    Display* d = composingDisplay();
    if (!d) {
        releases();
        return;
    }
    // Requests of one program are carried out in order, but the server may serve another
    // program between two of them; for the few requests of a release it serves only this one.
    XGrabServer(d);
    releases();
    XUngrabServer(d);
    XFlush(d);
}

}  // namespace PictureHold
