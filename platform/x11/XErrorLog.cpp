#include "XErrorLog.h"

// Qt's headers before Xlib's, whose macros (Bool, Status) they cannot live with.
#include "X11Log.h"

#include <X11/Xlibint.h>
#include <X11/extensions/shmproto.h>
#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

// libmpv's X11 video output installs its own error handler when it opens and puts Xlib's
// default back when it closes. That handler is one for the whole process, and the default
// exits at the next error: with two players, closing one player's output would leave the other's
// next error (drawing into a window that went away first) to end the program. So this program
// defines XSetErrorHandler itself, ahead of Xlib's, and never lets the default come back: a
// request for it installs a handler that logs the error and goes on. Handlers that others
// install for a while (libmpv's, Qt's) work as before: ours stays in place and hands each error
// to the handler last asked for.

namespace {

int logXError(Display* display, XErrorEvent* event) {
    char text[160] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    qCWarning(lcX11).nospace() << "X error ignored: " << text << " (request " << event->request_code
                               << "." << event->minor_code << ", resource 0x" << Qt::hex
                               << event->resourceid << ")";
    return 0;
}

// libmpv's X11 output sends each picture through shared memory and, before it sends a third,
// waits for the X server to report the first two done. A picture the server refuses (its window
// went away under the output) is answered with an error instead, never reported done: the output
// would wait for it forever, its player stand still, and closing it hang the program. Each refused
// picture is therefore reported done here, on the display that sent it, as the output expects.
void reportRefusedPictureDone(Display* display, const XErrorEvent& error) {
    if (error.minor_code != X_ShmPutImage)
        return;
    for (const _XExtension* extension = display->ext_procs; extension;
         extension = extension->next) {
        if (extension->name && std::strcmp(extension->name, SHMNAME) == 0 &&
            extension->codes.major_opcode == error.request_code) {
            XEvent done{};
            done.xany.type = extension->codes.first_event + ShmCompletion;
            done.xany.serial = error.serial;
            done.xany.display = display;
            done.xany.window = static_cast<Window>(error.resourceid);
            XPutBackEvent(display, &done);
            return;
        }
    }
}

std::atomic<XErrorHandler> g_asked{&logXError};

int handleXError(Display* display, XErrorEvent* event) {
    const int result = g_asked.load()(display, event);
    reportRefusedPictureDone(display, *event);
    return result;
}

using SetErrorHandler = XErrorHandler (*)(XErrorHandler);

SetErrorHandler xlibSetErrorHandler() {
    static const auto xlib =
        reinterpret_cast<SetErrorHandler>(dlsym(RTLD_NEXT, "XSetErrorHandler"));
    return xlib;
}

}  // namespace

extern "C" XErrorHandler XSetErrorHandler(XErrorHandler handler) {
    static const SetErrorHandler xlib = [] {
        const SetErrorHandler found = xlibSetErrorHandler();
        if (found)
            found(&handleXError);
        else
            qCWarning(lcX11) << "Xlib's XSetErrorHandler not found; X errors keep their handler";
        return found;
    }();
    if (!xlib)
        return nullptr;
    return g_asked.exchange(handler ? handler : &logXError);
}

namespace {

std::atomic<void (*)()> g_endWithoutDisplay{nullptr};

// Xlib's default for a lost display, and Qt's handler, which hands on to it, call exit() on the
// thread that noticed, a video output's own, while Qt, losing the same display, calls exit() on
// the window's: two exits at once run the exit handlers over one another, under libmpv's
// running threads, and can crash the program.
int endWithoutDisplay(Display*) {
    g_endWithoutDisplay.load()();
    _exit(1);  // in case the given end returned
}

}  // namespace

void keepXErrorsFromEndingTheProcess(void (*endWithoutDisplayAtOnce)()) {
    g_endWithoutDisplay = endWithoutDisplayAtOnce;
    XSetErrorHandler(nullptr);
    XSetIOErrorHandler(&endWithoutDisplay);
}
