#include "MpvLibrary.h"

#include <dlfcn.h>

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "IMediaPlayer.h"

namespace {

// The library the headers were written for: its major version is the client API's.
const std::string kFileName = "libmpv.so." + std::to_string(MPV_CLIENT_API_VERSION >> 16);

struct Loaded {
    MpvLibrary functions{};
    std::string error;
};

std::atomic<bool> programFirst{false};

void* find(void* library, const char* name) {
    if (programFirst) {
        if (void* own = dlsym(RTLD_DEFAULT, name)) {
            return own;
        }
    }
    return dlsym(library, name);
}

// Touched under their lock only. Once the load has ended, ran is set, and came says whether
// libmpv came.
struct Preparations {
    std::mutex lock;
    std::vector<std::function<void()>> due;
    bool ran = false;
    bool came = false;
};
// Never destroyed: the loading thread may still run while the process ends.
Preparations& preparations() {
    static auto* const p = new Preparations;
    return *p;
}

void runPreparations(bool libmpvCame) {
    Preparations& p = preparations();
    const std::lock_guard lock(p.lock);
    if (libmpvCame) {
        for (const auto& prepare : p.due) {
            prepare();
        }
    }
    p.due.clear();
    p.ran = true;
    p.came = libmpvCame;
}

Loaded load() {
    Loaded loaded;
    // Lazy: the libraries libmpv brings bind their calls when first made, as at exec.
    void* library = dlopen(kFileName.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        loaded.error = "libmpv: cannot load " + kFileName + (why ? std::string(": ") + why : "");
        runPreparations(false);
        return loaded;
    }
    MpvLibrary& f = loaded.functions;
    bool complete = true;
    const auto bind = [&](auto& pointer, const char* name) {
        pointer = reinterpret_cast<std::remove_reference_t<decltype(pointer)>>(find(library, name));
        if (!pointer && complete) {
            complete = false;
            loaded.error = "libmpv: " + kFileName + " has no " + name;
        }
    };
    bind(f.create, "mpv_create");
    bind(f.initialize, "mpv_initialize");
    bind(f.terminate_destroy, "mpv_terminate_destroy");
    bind(f.error_string, "mpv_error_string");
    bind(f.set_option, "mpv_set_option");
    bind(f.set_option_string, "mpv_set_option_string");
    bind(f.set_property_async, "mpv_set_property_async");
    bind(f.get_property, "mpv_get_property");
    bind(f.get_property_async, "mpv_get_property_async");
    bind(f.free_node_contents, "mpv_free_node_contents");
    bind(f.command_async, "mpv_command_async");
    bind(f.observe_property, "mpv_observe_property");
    bind(f.request_log_messages, "mpv_request_log_messages");
    bind(f.hook_add, "mpv_hook_add");
    bind(f.hook_continue, "mpv_hook_continue");
    bind(f.wait_event, "mpv_wait_event");
    bind(f.set_wakeup_callback, "mpv_set_wakeup_callback");
    runPreparations(complete);
    // The library stays loaded for the whole run: players come and go, its threads do not.
    return loaded;
}

std::once_flag started;
std::shared_future<Loaded> loading;
std::atomic<bool> finished{false};

// Touched on the application's thread only.
struct Waiter {
    QPointer<QObject> context;
    std::function<void()> done;
};
std::vector<Waiter> waiters;

void tellWaiters() {
    // The loader says it is done a moment before its result is there; the waiters must not
    // wait for it on this thread.
    if (!mpvLoadEnded()) {
        QTimer::singleShot(1, QCoreApplication::instance(), &tellWaiters);
        return;
    }
    const std::vector<Waiter> due = std::move(waiters);
    waiters.clear();
    for (const Waiter& w : due) {
        if (w.context) {
            w.done();
        }
    }
}

Loaded loadAndTell() {
    Loaded loaded = load();
    finished = true;
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(app, &tellWaiters, Qt::QueuedConnection);
    }
    return loaded;
}

}  // namespace

void lookUpMpvInProgramFirst() {
    programFirst = true;
}

void prepareOnMpvLoad(std::function<void()> prepare) {
    Preparations& p = preparations();
    const std::lock_guard lock(p.lock);
    if (!p.ran) {
        p.due.push_back(std::move(prepare));
    } else if (p.came) {
        prepare();
    }
}

void preloadMpv() {
    std::call_once(started, [] { loading = std::async(std::launch::async, loadAndTell).share(); });
}

bool mpvLoadEnded() {
    return finished && loading.valid() &&
           loading.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

void whenMpvLoaded(QObject* context, std::function<void()> done) {
    if (mpvLoadEnded()) {
        QTimer::singleShot(0, context, std::move(done));
        return;
    }
    // Told by the loader's queued call, which comes after this even if the load ends meanwhile.
    waiters.push_back({context, std::move(done)});
}

const MpvLibrary& libmpv() {
    preloadMpv();
    const Loaded& loaded = loading.get();
    if (!loaded.error.empty()) {
        throw PlayerError(loaded.error);
    }
    return loaded.functions;
}
