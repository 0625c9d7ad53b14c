#pragma once

#include <mpv/client.h>

#include <functional>

class QObject;

// libmpv's functions, as the players call them. libmpv brings a few hundred libraries, and the
// dynamic loader takes longer over them than the rest of the program takes to show its window;
// so the program does not link it but loads it on a thread of its own once the window is
// shown, and the players start their libmpv once it is there.
struct MpvLibrary {
    decltype(&mpv_create) create;
    decltype(&mpv_initialize) initialize;
    decltype(&mpv_terminate_destroy) terminate_destroy;
    decltype(&mpv_error_string) error_string;
    decltype(&mpv_set_option) set_option;
    decltype(&mpv_set_option_string) set_option_string;
    decltype(&mpv_set_property_async) set_property_async;
    decltype(&mpv_get_property) get_property;
    decltype(&mpv_get_property_async) get_property_async;
    decltype(&mpv_free_node_contents) free_node_contents;
    decltype(&mpv_command_async) command_async;
    decltype(&mpv_observe_property) observe_property;
    decltype(&mpv_request_log_messages) request_log_messages;
    decltype(&mpv_hook_add) hook_add;
    decltype(&mpv_hook_continue) hook_continue;
    decltype(&mpv_wait_event) wait_event;
    decltype(&mpv_set_wakeup_callback) set_wakeup_callback;
};

// For a program that links libmpv itself to wrap some of its functions (a benchmark that logs
// every player's libmpv): the program's own definitions are then taken ahead of the loaded
// library's. Call it before the load starts.
void lookUpMpvInProgramFirst();

// Runs prepare on the loading thread once libmpv has loaded completely, before any player can
// start: for settings of the whole process that need libmpv's libraries in place. Given after
// the load, it runs at once on the caller's thread; not at all if libmpv did not come.
void prepareOnMpvLoad(std::function<void()> prepare);

// Starts loading libmpv on a thread of its own, once; returns at once. While it loads, the
// dynamic loader makes every other load and symbol lookup (dlopen, dlsym) in the process wait:
// start it once the window is shown.
void preloadMpv();

// Calls done on context's thread (a Qt event loop must run there) once the load has ended,
// whether libmpv came or not; not at all if context is gone by then. Does not start the load.
void whenMpvLoaded(QObject* context, std::function<void()> done);

// Whether the load has ended, libmpv come or not: libmpv() then answers without waiting.
bool mpvLoadEnded();

// The loaded library; waits for the load, and starts it if nobody did. Throws PlayerError
// when libmpv cannot be loaded.
const MpvLibrary& libmpv();
