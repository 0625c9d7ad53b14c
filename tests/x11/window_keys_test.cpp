#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "WindowFixture.h"

namespace {

struct Shortcut {
    const char* name;
    Qt::Key key;
    bool closes;  // Ctrl+E quits; Ctrl+N opens file 1
};

class ShortcutInTheGoToField : public WindowFixture,
                               public ::testing::WithParamInterface<Shortcut> {};

TEST_P(ShortcutInTheGoToField, ActsAsTheWindowsShortcut) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ui().time_goto->setFocus();
    ui().time_goto->setText("12");
    ui().time_goto->setCursorPosition(0);

    QTest::keyClick(ui().time_goto, GetParam().key, Qt::ControlModifier);

    EXPECT_EQ(window->isVisible(), !GetParam().closes);
    const bool opened = !dialog.log.calls.empty();
    EXPECT_EQ(opened, !GetParam().closes);
    EXPECT_EQ(ui().time_goto->cursorPosition(), 0) << "the field took the key";
}

INSTANTIATE_TEST_SUITE_P(Keys, ShortcutInTheGoToField,
                         ::testing::Values(Shortcut{"CtrlEQuits", Qt::Key_E, true},
                                           Shortcut{"CtrlNOpensFile1", Qt::Key_N, false}),
                         byName);

// What the window's guard drops it must still say, in its logging category.
std::vector<std::string>* g_warnings = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (g_warnings && type == QtWarningMsg && std::string(context.category) == "pellucor.window")
        g_warnings->push_back(message.toStdString());
}

TEST_F(WindowFixture, AFailingTickIsLoggedAsAWarning) {
    std::vector<std::string> warnings;
    g_warnings = &warnings;
    const QtMessageHandler previous = qInstallMessageHandler(collect);
    players.failOn("wmp1.currentPosition");

    window->Timer1.onTick();

    qInstallMessageHandler(previous);
    g_warnings = nullptr;
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("Timer1"), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[0].find("wmp1.currentPosition"), std::string::npos) << warnings[0];
}

}  // namespace
