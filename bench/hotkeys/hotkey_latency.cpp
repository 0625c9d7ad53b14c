// Measures how long a key press takes to reach the window as WM_HOTKEY: once pressed by the
// xdotool program (its start-up included), once injected through XTEST from a second
// connection, which is what the hot-key path itself costs.
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "MessageHook.h"
#include "X11HotKeyPlatform.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPresses = 20;
constexpr std::int32_t kF3 = 114;
constexpr std::int32_t kId = -1000;

// Wakes the waiting loop and notes when the hot key arrived.
class Receiver : public ISubclass {
public:
    Clock::time_point arrived;
    QEventLoop* loop = nullptr;

    std::int32_t MsgResponse() const override { return 2; }
    void MsgResponse(std::int32_t) override {}
    std::int32_t WindowProc(HWND, std::int32_t, std::int32_t, std::int32_t) override {
        arrived = Clock::now();
        if (loop)
            loop->quit();
        return 0;
    }
};

// Runs press() and returns the milliseconds until the hot key arrived; negative on time-out.
double measure(Receiver& receiver, const std::function<Clock::time_point()>& press) {
    QEventLoop loop;
    receiver.loop = &loop;
    receiver.arrived = {};
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    const Clock::time_point sent = press();
    if (receiver.arrived == Clock::time_point{})
        loop.exec();
    receiver.loop = nullptr;
    if (receiver.arrived == Clock::time_point{})
        return -1;
    return std::chrono::duration<double, std::milli>(receiver.arrived - sent).count();
}

void report(const char* what, std::vector<double> ms) {
    const auto failed = std::count_if(ms.begin(), ms.end(), [](double v) { return v < 0; });
    std::erase_if(ms, [](double v) { return v < 0; });
    if (ms.empty()) {
        std::printf("%-44s no press arrived\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    const std::size_t n = ms.size();
    const double median = n % 2 ? ms[n / 2] : (ms[n / 2 - 1] + ms[n / 2]) / 2;
    std::printf("%-44s median %7.3f ms   max %7.3f ms   (%zu presses, %ld lost)\n", what, median,
                ms.back(), n, static_cast<long>(failed));
}

// Lets the event queue drain, so one press's release does not count toward the next.
void settle() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QWidget window;
    window.resize(200, 100);
    window.show();
    const auto hwnd = static_cast<HWND>(window.winId());

    MessageHook& hook = MessageHook::instance();
    X11HotKeyPlatform platform(hook);
    Receiver receiver;
    hook.HookMessage(receiver, hwnd, WM_HOTKEY);
    if (!platform.RegisterHotKey(hwnd, kId, 0, kF3)) {
        char text[256];
        const std::size_t n = platform.FormatMessage(platform.GetLastError(), text, sizeof text);
        std::fprintf(stderr, "cannot register F3: %.*s\n", static_cast<int>(n), text);
        return 1;
    }
    settle();

    std::vector<double> spawned;
    for (int i = 0; i < kPresses; ++i) {
        QProcess xdotool;
        spawned.push_back(measure(receiver, [&] {
            const auto sent = Clock::now();
            xdotool.start("xdotool", {"key", "F3"});
            return sent;
        }));
        xdotool.waitForFinished(3000);
        settle();
    }

    xcb_connection_t* injector = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(injector)) {
        std::fprintf(stderr, "cannot open a second X connection\n");
        return 1;
    }
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(injector);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 0xffc0 /* F3 */);
    const xcb_keycode_t keycode = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);

    std::vector<double> injected;
    for (int i = 0; i < kPresses; ++i) {
        injected.push_back(measure(receiver, [&] {
            xcb_test_fake_input(injector, XCB_KEY_PRESS, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                                0);
            const auto sent = Clock::now();
            xcb_flush(injector);
            return sent;
        }));
        xcb_test_fake_input(injector, XCB_KEY_RELEASE, keycode, XCB_CURRENT_TIME, XCB_NONE, 0, 0,
                            0);
        xcb_flush(injector);
        settle();
    }
    xcb_disconnect(injector);

    report("xdotool key F3 (process start included)", spawned);
    report("XTEST injection from a second connection", injected);
    return 0;
}
