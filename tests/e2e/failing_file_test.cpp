// A file that fails while both players play it and another: a share whose reads fail from some
// point on (the preloaded stalling_read library, told to fail with EIO), a file cut short while
// it plays, a file whose second half is garbage. Player 1's side ends clearly, with the window's
// message once and an empty side; player 2 does not play on alone; and the side takes a good
// file again, after which F3, go-to and F1 act on both players as before.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "Messages.h"
#include "NamedCases.h"
#include "RealWindow.h"
#include "RunEvents.h"
#include "TestMedia.h"

namespace {

namespace fs = std::filesystem;

// Where the data stops, as a share of the file's bytes: well before its end, a few seconds in.
constexpr double kDataShare = 0.3;
constexpr int kFailLimitMs = 20'000;

enum class Fault { ReadErrors, CutShort, Garbage };

struct FailingFile {
    const char* name;
    Fault fault;
};

// A fresh copy of the 20 s test video at `path`, so that what a test does to it stays its own.
fs::path freshCopy(const fs::path& path) {
    return TestMedia::videoCopy(path, true);
}

// The file the library fails reads of, from kDataShare of its bytes on. The library takes the
// offset once the file exists and the offset is set, so the file is made first.
fs::path shareFile() {
    const char* named = std::getenv("PELLUCOR_TEST_STALL_FILE");
    if (!named)
        throw std::runtime_error("PELLUCOR_TEST_STALL_FILE names no file");
    const fs::path path = freshCopy(named);
    const auto after =
        static_cast<std::uintmax_t>(static_cast<double>(fs::file_size(path)) * kDataShare);
    ::setenv("PELLUCOR_TEST_STALL_AFTER", std::to_string(after).c_str(), 1);
    return path;
}

// Its second half overwritten with random bytes, the same ones every run.
fs::path garbageFile() {
    const fs::path path = freshCopy(fs::path(TestMedia::folder()) / "garbage-second-half.mkv");
    const auto size = fs::file_size(path);
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(size / 2));
    std::mt19937 random(23);
    for (auto at = size / 2; at < size; ++at)
        file.put(static_cast<char>(random() & 0xFFu));
    return path;
}

fs::path failingFile(Fault fault) {
    switch (fault) {
        case Fault::ReadErrors:
            return shareFile();
        case Fault::CutShort:
            return freshCopy(fs::path(TestMedia::folder()) / "cut-short.mkv");
        case Fault::Garbage:
            return garbageFile();
    }
    return {};
}

class FileFailsWhilePlaying : public testing::TestWithParam<FailingFile> {};

TEST_P(FileFailsWhilePlaying, Player1SideEmptiesWithItsMessageAndPlayer2Stops) {
    const Fault fault = GetParam().fault;
    const fs::path file = failingFile(fault);
    RealWindow w;
    w.window->Form_Load();  // the hot keys, as the program starts them
    ASSERT_TRUE(w.openBoth(file.string(), TestMedia::video()));

    w.window->play_both();
    ASSERT_TRUE(runEventsUntil([&] { return w.position(1) > 1.0; }, 10'000));
    if (fault == Fault::CutShort)
        fs::resize_file(file, static_cast<std::uintmax_t>(static_cast<double>(fs::file_size(file)) *
                                                          kDataShare));

    ASSERT_TRUE(runEventsUntil([&] { return !w.messages.shown.empty(); }, kFailLimitMs))
        << "player 1 stands at " << w.position(1) << " s, silently";
    runEventsFor(1000);  // anything more the failure had to say
    EXPECT_EQ(w.messages.shown, std::vector<std::string>{Messages::kCannotLoad});
    EXPECT_FALSE(w.window->geladen1);
    EXPECT_EQ(w.window->media1, "");
    EXPECT_EQ(w.ui().disp1->text().toStdString(), "");
    EXPECT_THROW(w.player(1).play(), PlayerError) << "the player kept the file";
    ASSERT_TRUE(w.window->geladen2);
    EXPECT_NE(w.player(2).playState(), IMediaPlayer::kPlaying) << "player 2 plays on alone";
    // Without player 1's file the keys leave the players alone.
    w.window->m_cHotKey_HotKeyPress("spielen", 0, 114);
    EXPECT_NE(w.player(2).playState(), IMediaPlayer::kPlaying);

    // The side takes a good file again, and the commands act on both players.
    w.open(1, TestMedia::video());
    ASSERT_TRUE(w.window->geladen1);
    w.window->m_cHotKey_HotKeyPress("spielen", 0, 114);
    EXPECT_TRUE(runEventsUntil([&] { return w.position(1) > 0.5; }, 10'000));
    EXPECT_EQ(w.player(2).playState(), IMediaPlayer::kPlaying);
    w.ui().time_goto->setText("12");
    w.window->com_goto_Click();
    EXPECT_TRUE(runEventsUntil([&] { return w.position(1) >= 12.0; }, 5'000));
    w.window->m_cHotKey_HotKeyPress("zurueck", 0, 112);
    runEventsFor(300);
    EXPECT_LT(w.position(1), 12.5) << "F1 did not go back";
    EXPECT_EQ(w.messages.shown.size(), 1u) << w.messages.shown.back();
    if (fault != Fault::ReadErrors)
        fs::remove(file);
}

// A file cut short while both stand still: a go-to past the cut lands at the file's end, where
// a file that ends lies. The side ends as when the cut is found while playing.
TEST(FileCutShortWhilePaused, AGoToPastTheCutEmptiesItsSide) {
    const fs::path file = freshCopy(fs::path(TestMedia::folder()) / "cut-short-paused.mkv");
    RealWindow w;
    ASSERT_TRUE(w.openBoth(file.string(), TestMedia::video()));
    fs::resize_file(
        file, static_cast<std::uintmax_t>(static_cast<double>(fs::file_size(file)) * kDataShare));
    w.ui().time_goto->setText("12");
    w.window->com_goto_Click();
    ASSERT_TRUE(runEventsUntil([&] { return !w.messages.shown.empty(); }, 5'000))
        << "player 1 stands at " << w.position(1) << " s, player 2 at " << w.position(2) << " s";
    EXPECT_EQ(w.messages.shown, std::vector<std::string>{Messages::kCannotLoad});
    EXPECT_FALSE(w.window->geladen1);
    EXPECT_NE(w.player(2).playState(), IMediaPlayer::kPlaying);
    fs::remove(file);
}

// An MP3 with no header that states its length: libavformat guesses the length from the bit
// rate of its first, quiet half, well past where its data ends. Its end is an end like any other.
TEST(FileWithAGuessedLength, EndsAsUsualWithoutAMessage) {
    const std::string file = TestMedia::generated(
        "guessed-length.mp3", "mp3",
        {"-f", "lavfi", "-i", "anullsrc=r=44100:cl=mono:d=10", "-f", "lavfi", "-i",
         "anoisesrc=r=44100:a=0.5:d=10", "-filter_complex", "[0][1]concat=n=2:v=0:a=1"},
        {"-ac", "1", "-c:a", "libmp3lame", "-q:a", "9", "-write_xing", "0"});
    RealWindow w;
    w.open(1, file);
    ASSERT_TRUE(w.window->geladen1);
    w.player(1).setCurrentPosition(18.5);
    w.player(1).play();
    ASSERT_TRUE(runEventsUntil([&] { return !w.playing(1); }, kFailLimitMs))
        << "still playing at " << w.position(1) << " s";
    runEventsFor(500);
    EXPECT_TRUE(w.messages.shown.empty()) << w.messages.shown.front();
    EXPECT_TRUE(w.window->geladen1);
    EXPECT_LT(w.position(1), 0.5) << "not rewound at the end";
}

INSTANTIATE_TEST_SUITE_P(Faults, FileFailsWhilePlaying,
                         testing::Values(FailingFile{"ShareFailsWithReadErrors", Fault::ReadErrors},
                                         FailingFile{"CutShortWhilePlaying", Fault::CutShort},
                                         FailingFile{"SecondHalfIsGarbage", Fault::Garbage}),
                         byName);

}  // namespace
