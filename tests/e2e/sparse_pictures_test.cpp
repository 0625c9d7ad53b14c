// A screen recording that writes a picture only when the screen changes, one every 5 s: the
// window's position, F1 and F2 follow the sound, not the pictures.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <string>

#include "NamedCases.h"
#include "QtSupport.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

constexpr double kSeconds = 30.0;
// Loose enough for a busy machine; the pictures' own steps are 5 s.
constexpr double kNear = 0.15;

struct Recording {
    const char* name;
    std::string (*path)();
};

// A picture every 5 s and a continuous tone. The MP4 declares the pictures' own rate; the
// Matroska file declares 25 a second, which its pictures do not keep.
std::string recording(const std::string& name, const std::string& format,
                      const std::string& codec) {
    const std::string length = std::to_string(kSeconds);
    return TestMedia::generated(
        name, format,
        {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + length, "-f", "lavfi",
         "-i", "sine=frequency=440:sample_rate=48000:duration=" + length},
        {"-vf", "select=not(mod(n\\,125))", "-fps_mode", "vfr", "-c:v", "libx264", "-preset",
         "ultrafast", "-pix_fmt", "yuv420p", "-c:a", codec, "-shortest"});
}

std::string mp4() {
    return recording("sparse-pictures.mp4", "mp4", "aac");
}
std::string matroska() {
    return recording("sparse-pictures.mkv", "matroska", "libopus");
}

class SparsePictures : public testing::TestWithParam<Recording> {
protected:
    void SetUp() override { ASSERT_TRUE(w.openBoth(GetParam().path(), GetParam().path())); }
    double pos() { return w.player(1).currentPosition(); }
    // Runs events for about `ms`; returns how long it really was, in seconds.
    static double wait(int ms) {
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(ms);
        return static_cast<double>(clock.elapsed()) / 1000.0;
    }

    RealWindow w;
};

TEST_P(SparsePictures, PositionMovesWithTheSoundBackGoesOneSecondAndPauseStaysWhereHeard) {
    w.window->play_both();
    ASSERT_TRUE(waitFor([&] { return pos() > 0.5; }));
    for (int i = 0; i < 4; ++i) {
        const double before = pos();
        const double waited = wait(500);
        EXPECT_NEAR(pos() - before, waited, kNear) << "from " << before;
    }
    // The time box follows second by second, not from picture to picture.
    EXPECT_TRUE(waitFor([&] { return w.ui().time->text() == "3"; }, 1500))
        << w.ui().time->text().toStdString();

    // Between two pictures, so that a landing on the next picture shows.
    ASSERT_TRUE(waitFor([&] { return pos() > 3.4; }));
    const double before = pos();
    w.window->back_both();
    EXPECT_NEAR(pos(), before - 1.0, kNear);
    ASSERT_TRUE(waitFor([&] { return pos() > before - 0.5; }));
    EXPECT_LT(pos(), 4.0) << "went on to the next picture";

    ASSERT_TRUE(waitFor([&] { return pos() > 6.3; }));
    const double heard = pos();
    w.window->pause_both();
    const double paused = pos();
    EXPECT_NEAR(paused, heard, kNear);
    wait(1000);
    EXPECT_NEAR(pos(), paused, 0.01) << "moved on to a picture after the pause";
    EXPECT_NE(w.player(1).playState(), IMediaPlayer::kPlaying);
    EXPECT_TRUE(w.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Recordings, SparsePictures,
                         testing::Values(Recording{"Mp4", &mp4}, Recording{"Matroska", &matroska}),
                         byName);

}  // namespace
