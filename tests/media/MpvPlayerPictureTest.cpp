#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include "PlayerHarness.h"
#include "TestMedia.h"

namespace {

// Share of the pixels in the top half of a widget, as the screen shows it, that pass the test
// (libmpv draws the picture itself, so the widget cannot render it).
template <typename PixelTest>
double shareOnScreen(QWidget& widget, PixelTest test) {
    const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
    const QImage shot = widget.screen()
                            ->grabWindow(0, origin.x(), origin.y(), widget.width(), widget.height())
                            .toImage();
    int passed = 0;
    int all = 0;
    for (int y = 0; y < shot.height() / 2; y += 2) {
        for (int x = 0; x < shot.width(); x += 2) {
            ++all;
            passed += test(QColor(shot.pixel(x, y))) ? 1 : 0;
        }
    }
    return all ? static_cast<double>(passed) / all : 0.0;
}

// The test picture is full of colour bars; an empty or failed picture is black.
double colourfulShare(QWidget& widget) {
    return shareOnScreen(widget, [](const QColor& c) { return c.hsvSaturation() > 150; });
}

// White text on black, as a notice shows; libmpv's black window over it shows none.
bool textOnScreen(QWidget& widget) {
    return shareOnScreen(widget, [](const QColor& c) { return c.lightness() > 200; }) > 0.0;
}

QLabel* visibleLabelContaining(QWidget& host, const QString& text) {
    for (QLabel* label : host.findChildren<QLabel*>()) {
        if (label->isVisible() && label->text().contains(text)) {
            return label;
        }
    }
    return nullptr;
}

class PictureTest : public testing::Test {
protected:
    MpvPlayer& player() { return harness.player(0); }
    PlayerHarness harness{1, false};
};

TEST_F(PictureTest, FileOpenedBeforeTheWindowIsShownStillGetsItsPicture) {
    harness.openPaused(0, TestMedia::video());
    harness.show();
    player().setCurrentPosition(5.0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return colourfulShare(harness.host(0)) > 0.3; }, 5000));
}

TEST_F(PictureTest, AudioOnlyFileIsNamedWhereThePictureWouldBe) {
    harness.show();
    player().setAutoStart(false);
    player().setURL(TestMedia::audio());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QLabel* notice = visibleLabelContaining(harness.host(0), "audio.mp3");
            return notice && textOnScreen(*notice);
        },
        5000));

    player().setURL(TestMedia::video());
    EXPECT_TRUE(QTest::qWaitFor([&] { return colourfulShare(harness.host(0)) > 0.3; }, 5000));
    EXPECT_EQ(visibleLabelContaining(harness.host(0), "audio.mp3"), nullptr);
}

// Each player's own bar steers that player alone.
class ControlBarTest : public testing::Test {
protected:
    void SetUp() override { harness.openPaused(TestMedia::video()); }

    static QToolButton* playButton(QWidget& host) {
        for (auto* button : host.findChildren<QToolButton*>()) {
            if (button->toolTip() == "Play" || button->toolTip() == "Pause") {
                return button;
            }
        }
        return nullptr;
    }

    PlayerHarness harness{2};
};

TEST_F(ControlBarTest, PlayButtonStartsAndPausesOnlyItsOwnPlayer) {
    QToolButton* button = playButton(harness.host(1));
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(harness.player(1).playState(), IMediaPlayer::kPlaying);
    EXPECT_NE(harness.player(0).playState(), IMediaPlayer::kPlaying);
    EXPECT_TRUE(QTest::qWaitFor([&] { return harness.player(1).currentPosition() > 0.3; }, 5000));
    EXPECT_EQ(harness.player(0).currentPosition(), 0.0);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_NE(harness.player(1).playState(), IMediaPlayer::kPlaying);
}

}  // namespace
