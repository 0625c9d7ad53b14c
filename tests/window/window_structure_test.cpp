#include <QAction>
#include <QPushButton>
#include <QTest>

#include "WindowFixture.h"

namespace {

using InfoPanel = WindowFixture;

// The panel lies above player 2 (whose picture may be a native window of its own); its OK
// button must take the click there, and the rest of the window stays usable.
TEST_F(InfoPanel, ShowsAbovePlayerTwoAndItsOkHidesIt) {
    window->show();
    EXPECT_FALSE(ui().Frame1->isVisible());
    ui().about->trigger();
    ui().about->trigger();  // a second Info leaves it shown
    ASSERT_TRUE(ui().Frame1->isVisible());
    const QPoint okCentre =
        ui().Command1->mapTo(ui().centralwidget, ui().Command1->rect().center());
    EXPECT_EQ(ui().centralwidget->childAt(okCentre), ui().Command1);

    p2->left = 6000;
    QTest::mouseClick(ui().p2right, Qt::LeftButton);
    EXPECT_EQ(p2->Left(), 6100.0f);

    QTest::mouseClick(ui().Command1, Qt::LeftButton);
    EXPECT_FALSE(ui().Frame1->isVisible());
}

// Each open item of the menu opens the file dialog for its own side.
TEST_F(WindowFixture, OpenItemsOpenTheirOwnSide) {
    dialog.nextChoice = "/media/a.wav";
    ui().neu1->trigger();
    EXPECT_EQ(window->media1, "/media/a.wav");
    EXPECT_TRUE(window->media2.empty());
    dialog.nextChoice = "/media/b.wav";
    ui().neu2->trigger();
    EXPECT_EQ(window->media2, "/media/b.wav");
    EXPECT_EQ(window->media1, "/media/a.wav");
}

}  // namespace
