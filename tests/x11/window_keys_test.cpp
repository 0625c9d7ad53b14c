#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <string>
#include <vector>

#include "CategoryWarnings.h"
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
TEST_F(WindowFixture, AFailingTickIsLoggedAsAWarning) {
    const CategoryWarnings warnings("pellucor.window");
    players.failOn("wmp1.currentPosition");

    window->Timer1.onTick();

    ASSERT_EQ(warnings.count(), 1);
    const std::string warning = warnings.seen()[0].toStdString();
    EXPECT_NE(warning.find("Timer1"), std::string::npos) << warning;
    EXPECT_NE(warning.find("wmp1.currentPosition"), std::string::npos) << warning;
}

}  // namespace
