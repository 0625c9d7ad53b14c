#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "WindowFixture.h"

namespace {

using WindowAtStart = WindowFixture;

TEST_F(WindowAtStart, ClientAreaIs989By717AndIgnoresResizing) {
    window->show();
    EXPECT_EQ(window->centralWidget()->size(), QSize(989, 717));

    const QRect before = ui().fffw->geometry();
    window->resize(400, 300);
    window->resize(1400, 1000);
    EXPECT_EQ(ui().fffw->geometry(), before);
}

TEST_F(WindowAtStart, LoadClearsFlagsAndLeavesTimerSilent) {
    window->geladen1 = true;
    window->geladen2 = true;
    window->Form_Load();
    EXPECT_FALSE(window->geladen1);
    EXPECT_FALSE(window->geladen2);
    EXPECT_FALSE(window->Timer1.isTicking());
    EXPECT_TRUE(ui().disp1->text().isEmpty());
    EXPECT_TRUE(ui().time->text().isEmpty());
}

using TabOrder = WindowFixture;

QStringList walkTabs(QWidget* start, int steps) {
    QStringList names;
    QWidget* current = start;
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(current, Qt::Key_Tab);
        current = QApplication::focusWidget();
        names << (current ? current->objectName() : "<none>");
    }
    return names;
}

TEST_F(TabOrder, InfoPanelButtonTakesATabStopOnlyWhileShown) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ui().com_goto->setFocus();
    EXPECT_EQ(walkTabs(ui().com_goto, 1), QStringList{"wmp1"});
    window->about_Click();
    ui().com_goto->setFocus();
    EXPECT_EQ(walkTabs(ui().com_goto, 2), (QStringList{"Command1", "wmp1"}));
}

using InfoPanel = WindowFixture;

TEST_F(InfoPanel, InfoShowsOkHidesInfoShowsAgain) {
    window->show();
    EXPECT_FALSE(ui().Frame1->isVisible());
    ui().about->trigger();
    ui().about->trigger();
    EXPECT_TRUE(ui().Frame1->isVisible());
    EXPECT_TRUE(ui().Command1->isVisible());
    QTest::mouseClick(ui().Command1, Qt::LeftButton);
    EXPECT_FALSE(ui().Frame1->isVisible());
    ui().about->trigger();
    EXPECT_TRUE(ui().Frame1->isVisible());
}

TEST_F(InfoPanel, LiesAbovePlayerTwoAndLeavesTheRestUsable) {
    window->show();
    ui().about->trigger();
    // The OK button sits inside player 2's area; a click there must reach the panel.
    const QPoint okCentre =
        ui().Command1->mapTo(ui().centralwidget, ui().Command1->rect().center());
    EXPECT_EQ(ui().centralwidget->childAt(okCentre), ui().Command1);

    QTest::mouseClick(ui().p2right, Qt::LeftButton);
    EXPECT_EQ(p2->Left(), 6100.0f);
}

using Quit = WindowFixture;

TEST_F(Quit, QuitClosesTheWindow) {
    window->show();
    ui().ende->trigger();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(Quit, CtrlNOpensTheDialogForPlayerOne) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    dialog.nextChoice = "/tmp/a.mp4";
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(window->media1, "/tmp/a.mp4");
    EXPECT_TRUE(window->media2.empty());
}

}  // namespace
