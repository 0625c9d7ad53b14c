// Whatever a recorder or a careless click hands the window, an open either refuses the file
// with the window's message or opens it; nothing crashes or hangs, the other side plays on,
// and the side still takes a good file afterwards.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>

#include "Messages.h"
#include "MpvPlayer.h"
#include "NamedCases.h"
#include "QtSupport.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

namespace fs = std::filesystem;

constexpr int kPlayLimitMs = 10'000;
constexpr double kClipSeconds = 6.0;

// A short MP4 with sound, the kind of file the broken ones below are made from.
fs::path good() {
    const std::string clip = std::to_string(kClipSeconds);
    return TestMedia::generated(
        "hostile-good.mp4", "mp4",
        {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + clip, "-f", "lavfi", "-i",
         "sine=frequency=440:sample_rate=48000:duration=" + clip},
        {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac",
         "-shortest"});
}

fs::path lavfi(const std::string& name, const std::string& format, const std::string& source,
               std::vector<std::string> options = {"-c:v", "libx264", "-preset", "ultrafast",
                                                   "-pix_fmt", "yuv420p"}) {
    return TestMedia::generated(name, format, {"-f", "lavfi", "-i", source}, options);
}

fs::path at(const std::string& name) {
    return fs::path(TestMedia::folder()) / name;
}

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFFu);
    return bytes;
}

std::string goodBytes() {
    std::ifstream in(good(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path copyOfGood(const fs::path& to) {
    fs::copy_file(good(), to, fs::copy_options::overwrite_existing);
    return to;
}

enum class Outcome {
    Refused,   // the load message; the side ends empty
    Opens,     // no message; the side holds the file and plays it
    Survives,  // either, as long as the window and the flag agree and nothing crashes
};

struct Hostile {
    const char* name;
    Outcome outcome;
    std::function<fs::path()> make;
    // Done to the file once it is open: the recording goes away or changes under the player.
    std::function<void(const fs::path&)> afterOpen = nullptr;
};

class HostileFile : public testing::TestWithParam<Hostile> {
protected:
    void SetUp() override {
        w = std::make_unique<RealWindow>();
        // Side 1 held a file before: a refusal must not leave that file loaded.
        ASSERT_TRUE(w->openBoth(TestMedia::video(), TestMedia::video()));
        w->player(2).play();
    }
    // A player that lost its file refuses to answer; for these checks it stands and is nowhere.
    double pos(int side) {
        try {
            return w->player(side).currentPosition();
        } catch (const PlayerError&) {
            return -1.0;
        }
    }
    bool playing(int side) {
        try {
            return w->player(side).playState() == IMediaPlayer::kPlaying;
        } catch (const PlayerError&) {
            return false;
        }
    }
    bool plays(int side) {
        const double from = pos(side);
        return waitFor([&] { return pos(side) > from + 0.2; }, kPlayLimitMs);
    }

    std::unique_ptr<RealWindow> w;
};

TEST_P(HostileFile, IsRefusedOrOpenedAndTheWindowGoesOn) {
    const Hostile& h = GetParam();
    const fs::path path = h.make();

    w->open(1, path.string());

    const bool refused = !w->messages.shown.empty();
    EXPECT_EQ(w->window->geladen1, !refused);
    if (refused) {
        EXPECT_EQ(w->messages.shown, std::vector<std::string>{Messages::kCannotLoad});
        // The window counts the side as empty; so must the player, or its own control bar plays
        // a file that the hot keys ignore.
        EXPECT_THROW(w->player(1).play(), PlayerError);
    }
    if (h.outcome != Outcome::Survives) {
        ASSERT_EQ(refused, h.outcome == Outcome::Refused);
    }
    EXPECT_TRUE(plays(2)) << "the other side stopped";

    if (!refused) {
        if (h.afterOpen)
            h.afterOpen(path);
        w->window->play_both();
        if (h.outcome == Outcome::Opens) {
            EXPECT_TRUE(w->messages.shown.empty() && playing(1));
        }
        w->ui().time_goto->setText("0");
        w->window->com_goto_Click();
        w->window->ffw_Click();
        // Let the file play from 2 s over whatever is broken in its middle.
        waitFor([&] { return !playing(1) || pos(1) > kClipSeconds - 1.0; }, kPlayLimitMs);
        for (const auto& message : w->messages.shown)
            EXPECT_TRUE(message == Messages::kCannotPlay || message == Messages::kCannotJump)
                << message;
        w->window->pause_both();
    }

    EXPECT_TRUE(w->window->geladen2);

    const std::size_t shown = w->messages.shown.size();
    w->open(1, TestMedia::video());
    EXPECT_EQ(w->messages.shown.size(), shown);
    EXPECT_TRUE(w->window->geladen1);
    w->window->play_both();
    EXPECT_TRUE(plays(1));
    EXPECT_TRUE(plays(2));
}

// A good file at a path of 4,000 characters: nested folders, each name within the system's limit.
fs::path longPath() {
    fs::path path = at("hostile-long");
    while (path.string().size() < 3'700)
        path /= std::string(200, 'd');
    fs::create_directories(path);
    const std::size_t rest = 4'000 - path.string().size() - 1 - 4;
    return copyOfGood(path / (std::string(rest, 'f') + ".mp4"));
}

fs::path symlinkLoop() {
    const fs::path a = at("loop-a.mp4");
    const fs::path b = at("loop-b.mp4");
    fs::remove(a);
    fs::remove(b);
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    return a;
}

fs::path middleOverwritten() {
    std::string bytes = goodBytes();
    bytes.replace(bytes.size() / 2 - 8'192, 16'384, randomBytes(16'384, 7));
    return TestMedia::written("hostile-middle.mp4", bytes);
}

// A WAV file whose format tag names no codec: its sound track opens, but no decoder takes it.
fs::path unknownCodec() {
    return TestMedia::wav("unknown-codec.wav",
                          {.tag = 0x1234,
                           .channels = 1,
                           .rate = 8'000,
                           .byteRate = 8'000,
                           .blockAlign = 1,
                           .bits = 8},
                          randomBytes(16'000, 3));
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileFile,
    testing::Values(
        Hostile{"Empty", Outcome::Refused, [] { return TestMedia::written("empty.mp4", ""); }},
        Hostile{"OneByte", Outcome::Refused, [] { return TestMedia::written("one.mp4", "\x01"); }},
        Hostile{"RandomBytesNamedMp4", Outcome::Refused,
                [] { return TestMedia::written("random.mp4", randomBytes(64 * 1024, 1)); }},
        Hostile{"TruncatedToTenKilobytes", Outcome::Survives,
                [] { return TestMedia::written("ten-kb.mp4", goodBytes().substr(0, 10 * 1024)); }},
        Hostile{"TruncatedToHalf", Outcome::Survives,
                [] {
                    const std::string bytes = goodBytes();
                    return TestMedia::written("half.mp4", bytes.substr(0, bytes.size() / 2));
                }},
        Hostile{"MiddleOverwritten", Outcome::Survives, middleOverwritten},
        Hostile{"Missing", Outcome::Refused, [] { return fs::path(TestMedia::missing()); }},
        Hostile{"Text", Outcome::Refused, [] { return fs::path(TestMedia::text()); }},
        Hostile{"Directory", Outcome::Refused, [] { return fs::path(TestMedia::folder()); }},
        Hostile{"FifoWithoutWriter", Outcome::Refused, [] { return fs::path(TestMedia::fifo()); }},
        Hostile{"DevZero", Outcome::Refused, [] { return fs::path("/dev/zero"); }},
        Hostile{"DevUrandom", Outcome::Refused, [] { return fs::path("/dev/urandom"); }},
        Hostile{"SymlinkLoop", Outcome::Refused, symlinkLoop},
        Hostile{"SoundInACodecNoDecoderTakes", Outcome::Refused, unknownCodec},
        Hostile{"PathWithSpacesQuotesUmlautsAndNewline", Outcome::Opens,
                [] { return copyOfGood(at("a b 'c' \"d\" äöü\nß.mp4")); }},
        Hostile{"PathOf4000Characters", Outcome::Opens, longPath},
        Hostile{"VideoWithoutAudio", Outcome::Opens,
                [] { return lavfi("silent.mp4", "mp4", "testsrc=size=320x240:duration=6"); }},
        Hostile{"AudioOnlyMp3", Outcome::Opens,
                [] {
                    return lavfi("speech.mp3", "mp3",
                                 "sine=frequency=500:sample_rate=22050:duration=6",
                                 {"-ac", "1", "-c:a", "libmp3lame", "-b:a", "32k"});
                }},
        Hostile{"Wav8kHzMono", Outcome::Opens, [] { return fs::path(TestMedia::lowRateAudio()); }},
        Hostile{"OnePixelPicture", Outcome::Survives,
                [] {
                    return lavfi("pixel.png", "image2", "color=c=red",
                                 {"-vf", "scale=1:1", "-frames:v", "1"});
                }},
        Hostile{"TenthOfASecond", Outcome::Survives,
                [] { return lavfi("tenth.mp4", "mp4", "testsrc=size=320x240:duration=0.1"); }},
        Hostile{"DeletedAfterOpening", Outcome::Opens, [] { return copyOfGood(at("deleted.mp4")); },
                [](const fs::path& p) { fs::remove(p); }},
        Hostile{"OverwrittenAfterOpening", Outcome::Survives,
                [] { return copyOfGood(at("overwritten.mp4")); },
                [](const fs::path& p) {
                    std::ofstream(p, std::ios::binary | std::ios::trunc)
                        << randomBytes(fs::file_size(good()), 3);
                }}),
    byName);

}  // namespace
