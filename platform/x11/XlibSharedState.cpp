#include "XlibSharedState.h"

// Qt's headers before Xlib's, whose macros (Bool, Status) they cannot live with.
#include "X11Log.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <dlfcn.h>

#include <mutex>

// Each video output opens a display of its own, asks for its extensions and opens an input
// method, on a thread of its own; the two players' outputs do that together as the window comes
// up, and an output that cannot be used closes its display again. Done together, that can
// corrupt the heap, in state Xlib shares between displays without a lock:
// - an extension library sets up its bookkeeping the first time any display asks for it;
// - input methods share the locale's compose table, counted and freed by the last one closed.
// So the extensions are asked for here first, on a display of its own, and one input method is
// kept open for the whole run on it, so that the shared table is never freed; opening and
// closing input methods and displays, the calls that count it, go one thread at a time.

namespace {

// The extensions libmpv's X11 outputs use, from the libraries libmpv brought in.
struct Extension {
    const char* library;
    const char* query;
    enum class Form { Display, TwoInts, ThreeInts, FiveUnsigned } form;
};

constexpr Extension kExtensions[] = {
    {"libXrandr.so.2", "XRRQueryExtension", Extension::Form::TwoInts},
    {"libXinerama.so.1", "XineramaQueryExtension", Extension::Form::TwoInts},
    {"libXss.so.1", "XScreenSaverQueryExtension", Extension::Form::TwoInts},
    {"libXext.so.6", "XShmQueryExtension", Extension::Form::Display},
    {"libXext.so.6", "DPMSQueryExtension", Extension::Form::TwoInts},
    {"libXpresent.so.1", "XPresentQueryExtension", Extension::Form::ThreeInts},
    {"libXv.so.1", "XvQueryExtension", Extension::Form::FiveUnsigned},
};

void ask(Display* display, const Extension& extension) {
    // Only libraries already in the process: one libmpv does not use is not loaded for this.
    void* library = dlopen(extension.library, RTLD_LAZY | RTLD_NOLOAD);
    if (!library)
        return;
    void* query = dlsym(library, extension.query);
    if (!query) {
        qCWarning(lcX11) << extension.library << "has no" << extension.query;
    } else {
        int i[3];
        unsigned u[5];
        switch (extension.form) {
            case Extension::Form::Display:
                reinterpret_cast<int (*)(Display*)>(query)(display);
                break;
            case Extension::Form::TwoInts:
                reinterpret_cast<int (*)(Display*, int*, int*)>(query)(display, &i[0], &i[1]);
                break;
            case Extension::Form::ThreeInts:
                reinterpret_cast<int (*)(Display*, int*, int*, int*)>(query)(display, &i[0], &i[1],
                                                                             &i[2]);
                break;
            case Extension::Form::FiveUnsigned:
                reinterpret_cast<int (*)(Display*, unsigned*, unsigned*, unsigned*, unsigned*,
                                         unsigned*)>(query)(display, &u[0], &u[1], &u[2], &u[3],
                                                            &u[4]);
                break;
        }
    }
    dlclose(library);
}

std::recursive_mutex inputMethodState;

template <typename Function>
Function xlibFunction(const char* name) {
    const auto function = reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
    if (!function)
        qCWarning(lcX11) << "Xlib's" << name << "not found";
    return function;
}

template <typename Function, typename... Args>
auto oneAtATime(Function xlib, Args... args) {
    const std::lock_guard lock(inputMethodState);
    return xlib(args...);
}

}  // namespace

extern "C" XIM XOpenIM(Display* display, XrmDatabase database, char* name, char* className) {
    static const auto xlib = xlibFunction<XIM (*)(Display*, XrmDatabase, char*, char*)>("XOpenIM");
    return xlib ? oneAtATime(xlib, display, database, name, className) : nullptr;
}

extern "C" Status XCloseIM(XIM inputMethod) {
    static const auto xlib = xlibFunction<Status (*)(XIM)>("XCloseIM");
    return xlib ? oneAtATime(xlib, inputMethod) : 0;
}

extern "C" int XCloseDisplay(Display* display) {
    static const auto xlib = xlibFunction<int (*)(Display*)>("XCloseDisplay");
    return xlib ? oneAtATime(xlib, display) : 0;
}

void prepareXlibSharedState() {
    // Kept open for the whole run, as is its input method; the process's end closes both.
    static Display* const display = XOpenDisplay(nullptr);
    if (!display)
        return;  // no X display: the outputs will not open one either
    for (const Extension& extension : kExtensions)
        ask(display, extension);
    XSetLocaleModifiers("");
    static const XIM inputMethod = XOpenIM(display, nullptr, nullptr, nullptr);
    static_cast<void>(inputMethod);
}
