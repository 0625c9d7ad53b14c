#include <gtest/gtest.h>

#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "MessageHook.h"
#include "QtSupport.h"
#include "RecordingSubclass.h"

namespace {

class MessageHookTest : public testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        window->resize(200, 100);
        window->show();
        hwnd = static_cast<HWND>(window->winId());
    }

    MessageHook hook;
    std::unique_ptr<QWidget> window;
    HWND hwnd = 0;
    RecordingSubclass first;
    RecordingSubclass second;
};

TEST_F(MessageHookTest, RefusesWindowZeroAndWindowsNotOurs) {
    EXPECT_THROW(hook.HookMessage(first, 0, WM_HOTKEY), std::invalid_argument);
    HWND gone = 0;
    {
        QWidget closed;
        gone = static_cast<HWND>(closed.winId());
    }
    EXPECT_THROW(hook.HookMessage(first, gone, WM_HOTKEY), std::invalid_argument);
    EXPECT_EQ(hook.dispatch(0, WM_HOTKEY, 1, 0), 0u);
}

TEST_F(MessageHookTest, DeliversOnlyTheHookedMessageOfTheHookedWindow) {
    QWidget otherWindow;
    otherWindow.show();
    const HWND otherHwnd = static_cast<HWND>(otherWindow.winId());
    hook.HookMessage(first, hwnd, WM_HOTKEY);
    hook.HookMessage(first, hwnd, WM_HOTKEY);  // a second hook adds no second delivery
    hook.HookMessage(second, otherHwnd, WM_HOTKEY);

    EXPECT_EQ(hook.dispatch(hwnd, WM_HOTKEY, -3, 0x00720000), 1u);
    EXPECT_EQ(hook.dispatch(hwnd, 15, 0, 0), 0u);
    ASSERT_EQ(first.messages.size(), 1u);
    EXPECT_EQ(first.messages[0], (RecordingSubclass::Message{hwnd, WM_HOTKEY, -3, 0x00720000}));
    EXPECT_TRUE(second.messages.empty());

    hook.UnhookMessage(first, hwnd, WM_HOTKEY);
    hook.UnhookMessage(first, hwnd, WM_DESTROY);  // never hooked: accepted quietly
    EXPECT_EQ(hook.dispatch(hwnd, WM_HOTKEY, -3, 0), 0u);
    EXPECT_EQ(first.messages.size(), 1u);
}

TEST_F(MessageHookTest, UnhookDuringDeliveryStopsLaterDeliveries) {
    hook.HookMessage(first, hwnd, WM_HOTKEY);
    hook.HookMessage(second, hwnd, WM_HOTKEY);
    first.onMessage = [&](const auto&) {
        hook.UnhookMessage(first, hwnd, WM_HOTKEY);
        hook.UnhookMessage(second, hwnd, WM_HOTKEY);
    };
    EXPECT_EQ(hook.dispatch(hwnd, WM_HOTKEY, 1, 0), 1u);
    EXPECT_TRUE(second.messages.empty());
    EXPECT_EQ(hook.dispatch(hwnd, WM_HOTKEY, 1, 0), 0u);
}

TEST_F(MessageHookTest, FailingWindowProcDoesNotStopTheOthers) {
    hook.HookMessage(first, hwnd, WM_HOTKEY);
    hook.HookMessage(second, hwnd, WM_HOTKEY);
    first.onMessage = [](const auto&) { throw std::runtime_error("handler failed"); };
    EXPECT_EQ(hook.dispatch(hwnd, WM_HOTKEY, 1, 0), 2u);
    EXPECT_EQ(second.messages.size(), 1u);
}

TEST_F(MessageHookTest, DestroyedWindowSendsDestroyOnceAndDropsItsHooks) {
    hook.HookMessage(first, hwnd, WM_HOTKEY);
    hook.HookMessage(first, hwnd, WM_DESTROY);
    hook.HookMessage(second, hwnd, WM_HOTKEY);
    // Like the registry: it unhooks both messages while its WM_DESTROY is being delivered.
    first.onMessage = [&](const RecordingSubclass::Message& m) {
        if (m.msg != WM_DESTROY)
            return;
        hook.UnhookMessage(first, hwnd, WM_HOTKEY);
        hook.UnhookMessage(first, hwnd, WM_DESTROY);
    };

    window.reset();

    ASSERT_EQ(first.messages.size(), 1u);
    EXPECT_EQ(first.messages[0], (RecordingSubclass::Message{hwnd, WM_DESTROY, 0, 0}));
    EXPECT_TRUE(second.messages.empty());
    EXPECT_FALSE(hook.isHooked(second, hwnd, WM_HOTKEY));
    EXPECT_EQ(hook.dispatch(hwnd, WM_HOTKEY, 1, 0), 0u);
}

// Posted messages: the filter that posts has long returned when they arrive.
class PostedMessages : public MessageHookTest {
protected:
    void SetUp() override {
        MessageHookTest::SetUp();
        hook.HookMessage(first, hwnd, WM_HOTKEY);
        first.onMessage = [this](const RecordingSubclass::Message& m) {
            order.push_back("key" + std::to_string(m.wParam));
            if (during)
                during(m);
            // Stands for a click or a tick that arrives while the key is handled.
            QMetaObject::invokeMethod(
                qApp, [this] { order.push_back("event"); }, Qt::QueuedConnection);
        };
    }
    bool arrived(std::size_t count) {
        return waitFor([&] { return order.size() >= count && hook.pending() == 0; });
    }

    std::vector<std::string> order;
    std::function<void(const RecordingSubclass::Message&)> during;
};

// One per pass of the event loop, never inside post.
TEST_F(PostedMessages, AKeyPressedAgainWhileWaitingCountsOnceInItsLastPlace) {
    for (const std::int32_t id : {3, 2, 1, 3, 3, 1})
        hook.post(hwnd, WM_HOTKEY, id, id);
    ASSERT_TRUE(arrived(6));
    EXPECT_EQ(order, (std::vector<std::string>{"key2", "event", "key3", "event", "key1", "event"}));
}

TEST_F(PostedMessages, NeverArriveInsideTheHandlingOfAnother) {
    // The first key's handler waits in a local event loop, as a message box does.
    during = [this](const RecordingSubclass::Message& m) {
        if (m.wParam != 1)
            return;
        hook.post(hwnd, WM_HOTKEY, 2, 0);
        bool passed = false;
        QMetaObject::invokeMethod(
            qApp, [&] { passed = true; }, Qt::QueuedConnection);
        waitFor([&] { return passed; });
        EXPECT_EQ(first.messages.size(), 1u) << "a key ran inside another key's command";
    };
    hook.post(hwnd, WM_HOTKEY, 1, 0);
    ASSERT_TRUE(arrived(4));
    EXPECT_EQ(first.messages.size(), 2u);
}

}  // namespace
