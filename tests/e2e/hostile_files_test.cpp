// Whatever a recorder or a careless click hands the window, an open either refuses the file
// with the window's message or opens it; nothing crashes or hangs, the other side plays on,
// and the side still takes a good file afterwards.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>

#include "Messages.h"
#include "MpvPlayer.h"
#include "QtSupport.h"
#include "RealWindow.h"
#include "TestMedia.h"

namespace {

namespace fs = std::filesystem;

// Longer than any open may take: the player's own bound plus room for a busy machine.
constexpr int kOpenLimitMs = static_cast<int>(MpvPlayer::kOpenTimeoutSeconds * 1000) + 10'000;
constexpr int kPlayLimitMs = 10'000;
constexpr double kClipSeconds = 6.0;

// Media made on first use and kept beside the other test media, so that each test process
// (ctest runs one per case) does not make it again.
class Media {
public:
    static Media& get() {
        static Media media;
        return media;
    }
    fs::path dir() const { return m_dir; }
    fs::path at(const std::string& name) const { return m_dir / name; }

private:
    Media() : m_dir(fs::path(TestMedia::folder()) / "hostile-v1") {
        fs::create_directories(m_dir);
        const std::string clip = std::to_string(kClipSeconds);
        ffmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + clip, "-f", "lavfi",
                "-i", "sine=frequency=440:sample_rate=48000:duration=" + clip, "-c:v", "libx264",
                "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-shortest",
                "good.mp4"});
        ffmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + clip, "-c:v",
                "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p", "silent.mp4"});
        ffmpeg({"-f", "lavfi", "-i", "sine=frequency=500:sample_rate=22050:duration=" + clip, "-ac",
                "1", "-c:a", "libmp3lame", "-b:a", "32k", "speech.mp3"});
        ffmpeg({"-f", "lavfi", "-i", "sine=frequency=500:sample_rate=8000:duration=" + clip, "-ac",
                "1", "-c:a", "pcm_s16le", "phone.wav"});
        ffmpeg({"-f", "lavfi", "-i", "color=c=red", "-vf", "scale=1:1", "-frames:v", "1",
                "pixel.png"});
        ffmpeg({"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=0.1", "-c:v", "libx264",
                "-preset", "ultrafast", "-pix_fmt", "yuv420p", "tenth.mp4"});
    }
    // Written under a temporary name and renamed, so a half-made file is never taken.
    void ffmpeg(std::vector<std::string> args) {
        const fs::path final = at(args.back());
        if (fs::exists(final))
            return;
        const fs::path partial = final.string() + ".part" + std::to_string(::getpid());
        args.pop_back();
        QStringList list{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
        for (const auto& a : args)
            list << QString::fromStdString(a);
        // The partial name hides the format from ffmpeg.
        const std::string extension = final.extension().string().substr(1);
        list << "-f" << (extension == "png" ? "image2" : QString::fromStdString(extension))
             << QString::fromStdString(partial.string());
        if (QProcess::execute("ffmpeg", list) != 0)
            throw std::runtime_error("ffmpeg failed making " + final.string());
        fs::rename(partial, final);
    }
    fs::path m_dir;
};

std::string randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(generator() & 0xFFu);
    return bytes;
}

fs::path writeFile(const std::string& name, const std::string& content) {
    const fs::path path = Media::get().at(name);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    return path;
}

std::string goodBytes() {
    std::ifstream in(Media::get().at("good.mp4"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

fs::path copyOfGood(const fs::path& to) {
    fs::copy_file(Media::get().at("good.mp4"), to, fs::copy_options::overwrite_existing);
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
void PrintTo(const Hostile& h, std::ostream* os) {
    *os << h.name;
}

class HostileFile : public testing::TestWithParam<Hostile> {
protected:
    void SetUp() override {
        w = std::make_unique<RealWindow>();
        // Side 1 held a file before: a refusal must not leave that file loaded.
        w->open(1, TestMedia::video());
        w->open(2, TestMedia::video());
        ASSERT_TRUE(w->messages.shown.empty());
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

    QElapsedTimer openTime;
    openTime.start();
    w->open(1, path.string());
    EXPECT_LT(openTime.elapsed(), kOpenLimitMs);

    const bool refused = !w->messages.shown.empty();
    if (refused) {
        EXPECT_EQ(w->messages.shown, std::vector<std::string>{Messages::kCannotLoad});
        EXPECT_FALSE(w->window->geladen1);
        EXPECT_TRUE(w->ui().disp1->text().isEmpty());
        EXPECT_TRUE(w->window->media1.empty());
        // The window counts the side as empty; so must the player, or its own control bar plays
        // a file that the hot keys ignore.
        EXPECT_THROW(w->player(1).play(), PlayerError);
    } else {
        EXPECT_TRUE(w->window->geladen1);
        EXPECT_EQ(w->window->media1, path.string());
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
            EXPECT_TRUE(w->messages.shown.empty());
            EXPECT_TRUE(playing(1));
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
    fs::path path = Media::get().dir();
    while (path.string().size() < 3'700)
        path /= std::string(200, 'd');
    fs::create_directories(path);
    const std::size_t rest = 4'000 - path.string().size() - 1 - 4;
    return copyOfGood(path / (std::string(rest, 'f') + ".mp4"));
}

fs::path fifo() {
    const fs::path path = Media::get().at("pipe.mp4");
    fs::remove(path);
    if (::mkfifo(path.c_str(), 0600) != 0)
        throw std::runtime_error("mkfifo failed");
    return path;
}

fs::path symlinkLoop() {
    const fs::path a = Media::get().at("loop-a.mp4");
    const fs::path b = Media::get().at("loop-b.mp4");
    fs::remove(a);
    fs::remove(b);
    fs::create_symlink(b, a);
    fs::create_symlink(a, b);
    return a;
}

fs::path truncatedTo(std::size_t size, const std::string& name) {
    return writeFile(name, goodBytes().substr(0, size));
}

fs::path middleOverwritten() {
    std::string bytes = goodBytes();
    const std::size_t middle = bytes.size() / 2;
    bytes.replace(middle - 8'192, 16'384, randomBytes(16'384, 7));
    return writeFile("middle.mp4", bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileFile,
    testing::Values(
        Hostile{"Empty", Outcome::Refused, [] { return writeFile("empty.mp4", ""); }},
        Hostile{"OneByte", Outcome::Refused, [] { return writeFile("one.mp4", "\x01"); }},
        Hostile{"RandomBytesNamedMp4", Outcome::Refused,
                [] { return writeFile("random.mp4", randomBytes(64 * 1024, 1)); }},
        Hostile{"TruncatedToTenKilobytes", Outcome::Survives,
                [] { return truncatedTo(10 * 1024, "ten-kb.mp4"); }},
        Hostile{"TruncatedToHalf", Outcome::Survives,
                [] { return truncatedTo(goodBytes().size() / 2, "half.mp4"); }},
        Hostile{"MiddleOverwritten", Outcome::Survives, middleOverwritten},
        Hostile{"Missing", Outcome::Refused, [] { return Media::get().at("gone.mp4"); }},
        Hostile{"Text", Outcome::Refused, [] { return fs::path(TestMedia::text()); }},
        Hostile{"Directory", Outcome::Refused, [] { return Media::get().dir(); }},
        Hostile{"FifoWithoutWriter", Outcome::Refused, fifo},
        Hostile{"DevZero", Outcome::Refused, [] { return fs::path("/dev/zero"); }},
        Hostile{"DevUrandom", Outcome::Refused, [] { return fs::path("/dev/urandom"); }},
        Hostile{"SymlinkLoop", Outcome::Refused, symlinkLoop},
        Hostile{"PathWithSpacesQuotesUmlautsAndNewline", Outcome::Opens,
                [] { return copyOfGood(Media::get().at("a b 'c' \"d\" äöü\nß.mp4")); }},
        Hostile{"PathOf4000Characters", Outcome::Opens, longPath},
        Hostile{"VideoWithoutAudio", Outcome::Opens, [] { return Media::get().at("silent.mp4"); }},
        Hostile{"AudioOnlyMp3", Outcome::Opens, [] { return Media::get().at("speech.mp3"); }},
        Hostile{"Wav8kHzMono", Outcome::Opens, [] { return Media::get().at("phone.wav"); }},
        Hostile{"OnePixelPicture", Outcome::Survives, [] { return Media::get().at("pixel.png"); }},
        Hostile{"TenthOfASecond", Outcome::Survives, [] { return Media::get().at("tenth.mp4"); }},
        Hostile{"DeletedAfterOpening", Outcome::Opens,
                [] { return copyOfGood(Media::get().at("deleted.mp4")); },
                [](const fs::path& p) { fs::remove(p); }},
        Hostile{"OverwrittenAfterOpening", Outcome::Survives,
                [] { return copyOfGood(Media::get().at("overwritten.mp4")); },
                [](const fs::path& p) {
                    std::ofstream(p, std::ios::binary | std::ios::trunc)
                        << randomBytes(fs::file_size(Media::get().at("good.mp4")), 3);
                }}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
