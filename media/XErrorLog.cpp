#include "XErrorLog.h"

// Qt's headers before Xlib's, whose macros (Bool, Status) they cannot live with.
#include "MediaLog.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <unistd.h>

// libmpv's X11 video output installs its own error handler when it opens and puts Xlib's
// default back when it closes. That handler is one for the whole process, and the default
// exits at the next error: with two players, closing one player's output left the other's
// next error (drawing into a window that went away first) to end the program. So this program
// defines XSetErrorHandler itself, ahead of Xlib's, and never lets the default come back: a
// request for it installs a handler that logs the error and goes on. Handlers that others
// install for a while (libmpv's, Qt's) work as before.

namespace {

int logXError(Display* display, XErrorEvent* event) {
    char text[160] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    qCWarning(lcMedia).nospace() << "X error ignored: " << text << " (request "
                                 << event->request_code << "." << event->minor_code
                                 << ", resource 0x" << Qt::hex << event->resourceid << ")";
    return 0;
}

// Xlib's default for a lost display calls exit() on the output's own thread, while Qt, losing
// the same display, calls exit() on the window's: two exits at once ran the exit handlers over
// one another, under libmpv's running threads, and crashed the program one time in ten.
int endWithoutDisplay(Display*) {
    constexpr char kText[] = "pellucor: ending at once: the display went away\n";
    const ssize_t written = write(STDERR_FILENO, kText, sizeof kText - 1);
    static_cast<void>(written);  // nothing is left to tell a failed write to
    _exit(1);
}

using SetErrorHandler = XErrorHandler (*)(XErrorHandler);

SetErrorHandler xlibSetErrorHandler() {
    static const auto xlib =
        reinterpret_cast<SetErrorHandler>(dlsym(RTLD_NEXT, "XSetErrorHandler"));
    return xlib;
}

}  // namespace

extern "C" XErrorHandler XSetErrorHandler(XErrorHandler handler) {
    const SetErrorHandler xlib = xlibSetErrorHandler();
    if (!xlib) {
        qCWarning(lcMedia) << "Xlib's XSetErrorHandler not found; X errors keep their handler";
        return nullptr;
    }
    return xlib(handler ? handler : &logXError);
}

void keepXErrorsFromEndingTheProcess() {
    XSetErrorHandler(nullptr);
    XSetIOErrorHandler(&endWithoutDisplay);
}
