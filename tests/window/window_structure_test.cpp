#include <QAction>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "WindowFixture.h"

namespace {

struct Placement {
    const char* name;
    int left, top, width, height;  // twips
};

class ControlPlacement : public WindowFixture, public ::testing::WithParamInterface<Placement> {};

// A sample across the regions: a wrong twips conversion or a misnamed control shows here.
TEST_P(ControlPlacement, StandsWhereTheTableSays) {
    const Placement p = GetParam();
    auto* control = window->findChild<QWidget*>(p.name);
    ASSERT_NE(control, nullptr) << p.name;
    const QRect g = control->geometry();
    EXPECT_EQ(QRect(g.x() * 15, g.y() * 15, g.width() * 15, g.height() * 15),
              QRect(p.left, p.top, p.width, p.height))
        << p.name;
}

INSTANTIATE_TEST_SUITE_P(
    Sample, ControlPlacement,
    ::testing::Values(Placement{"p2left", 7560, 0, 495, 375}, Placement{"disp1", 840, 600, 3015, 285},
                      Placement{"time_goto", 2640, 960, 975, 285},
                      Placement{"wmp2", 6000, 1440, 4215, 3015},
                      Placement{"Label1", 3720, 5400, 3495, 495},
                      Placement{"Frame1", 3960, 2160, 3015, 1815},
                      Placement{"Command1", 2400, 1200, 495, 495}),
    [](const auto& param) { return std::string(param.param.name); });

using WindowAtStart = WindowFixture;

TEST_F(WindowAtStart, PlayersStartWithTheirTableGeometryInTwips) {
    EXPECT_EQ(p1->Left(), 120.0f);
    EXPECT_EQ(p1->Width(), 4335.0f);
    EXPECT_EQ(p1->Height(), 3015.0f);
    EXPECT_EQ(p2->Left(), 6000.0f);
    EXPECT_EQ(p2->Width(), 4215.0f);
}

TEST_F(WindowAtStart, ClientAreaIs989By717AndIgnoresResizing) {
    window->show();
    EXPECT_EQ(window->centralWidget()->size(), QSize(989, 717));
    EXPECT_EQ(window->windowTitle(), "pellucor");

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

    QTest::qWait(50);
    EXPECT_TRUE(players.calls.empty()) << "a tick or a command touched a player";
    EXPECT_TRUE(ui().time->text().isEmpty());
}

TEST_F(WindowAtStart, IconHasSmallAndLargeImages) {
    const auto sizes = window->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST_F(WindowAtStart, TitleIsRedHeavyAndFourteenAndAQuarterPoints) {
    window->show();
    const QFont font = ui().Label1->font();
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 14.25);
    EXPECT_EQ(font.weight(), QFont::Black);
    EXPECT_EQ(ui().Label1->palette().color(QPalette::WindowText), QColor(255, 0, 0));
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

TEST_F(TabOrder, StartsOnPlayerOneAndSkipsTheHiddenPanel) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), "wmp1");

    const QStringList expected = {"wmp2",   "h1plus", "h1minus", "h2plus",    "h2minus",
                                  "p1left", "p1right", "p2left", "p2right",   "ffw",
                                  "fffw",   "time_goto", "com_goto", "wmp1"};
    EXPECT_EQ(walkTabs(QApplication::focusWidget(), static_cast<int>(expected.size())), expected);
}

TEST_F(TabOrder, InfoPanelButtonComesFirstWhileShown) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
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
    EXPECT_EQ(ui().Label5->text(), "by");
}

TEST_F(InfoPanel, LiesAbovePlayerTwoAndLeavesTheRestUsable) {
    window->show();
    ui().about->trigger();
    // The OK button sits inside player 2's area; a click there must reach the panel.
    const QPoint okCentre = ui().Command1->mapTo(ui().centralwidget, ui().Command1->rect().center());
    EXPECT_EQ(ui().centralwidget->childAt(okCentre), ui().Command1);

    QTest::mouseClick(ui().p2right, Qt::LeftButton);
    EXPECT_EQ(p2->Left(), 6100.0f);
}

TEST_F(InfoPanel, LegendLabelsLieAboveTheSquare) {
    window->show();
    const QPoint inLabel = ui().Label3->geometry().center();
    EXPECT_EQ(ui().centralwidget->childAt(inLabel), ui().Label3);
}

using Quit = WindowFixture;

TEST_F(Quit, QuitAndCtrlEClose) {
    window->show();
    ui().ende->trigger();
    EXPECT_FALSE(window->isVisible());

    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
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
