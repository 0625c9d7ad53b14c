#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QToolButton>

#include "PlayerHarness.h"
#include "TestMedia.h"

namespace {

// Share of strongly coloured pixels in the top half of a widget: the test picture is full of
// colour bars, an empty or failed picture is black.
double colourfulShare(QWidget& widget) {
    const QImage shot = widget.grab().toImage();
    int colourful = 0;
    int all = 0;
    for (int y = 0; y < shot.height() / 2; y += 2) {
        for (int x = 0; x < shot.width(); x += 2) {
            ++all;
            if (QColor(shot.pixel(x, y)).hsvSaturation() > 150) {
                ++colourful;
            }
        }
    }
    return all ? static_cast<double>(colourful) / all : 0.0;
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
    player().setAutoStart(false);
    player().setURL(TestMedia::video());
    harness.show();
    player().setCurrentPosition(5.0);
    PlayerHarness::wait(500);
    EXPECT_GT(colourfulShare(harness.host(0)), 0.3);
}

TEST_F(PictureTest, AudioOnlyFileIsNamedWhereThePictureWouldBe) {
    harness.show();
    player().setAutoStart(false);
    player().setURL(TestMedia::audio());
    PlayerHarness::wait(100);
    EXPECT_NE(visibleLabelContaining(harness.host(0), "audio.mp3"), nullptr);

    player().setURL(TestMedia::video());
    PlayerHarness::wait(300);
    EXPECT_EQ(visibleLabelContaining(harness.host(0), "audio.mp3"), nullptr);
    EXPECT_GT(colourfulShare(harness.host(0)), 0.3);
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
    PlayerHarness::wait(600);
    EXPECT_GT(harness.player(1).currentPosition(), 0.3);
    EXPECT_EQ(harness.player(0).currentPosition(), 0.0);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_NE(harness.player(1).playState(), IMediaPlayer::kPlaying);
}

}  // namespace
