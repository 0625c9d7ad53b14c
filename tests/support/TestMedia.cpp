#include "TestMedia.h"

#include <unistd.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Bump when the files change, so stale ones from an older build are not reused.
constexpr const char* kVersion = "v2";

// Files are made under this name and renamed when complete.
std::string tempName(const fs::path& final) {
    return final.string() + ".part" + std::to_string(::getpid());
}

void runFfmpeg(const std::vector<std::string>& args) {
    std::vector<char*> argv{const_cast<char*>("ffmpeg")};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (::posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("TestMedia: ffmpeg failed making " + args.back());
}

std::string seconds(double value) {
    return std::to_string(static_cast<int>(value));
}

}  // namespace

std::string TestMedia::generated(const std::string& name, const std::string& format,
                                 const std::vector<std::string>& inputs,
                                 const std::vector<std::string>& outputOptions) {
    const fs::path final = fs::path(TestMedia::folder()) / name;
    if (fs::exists(final)) {
        return final.string();
    }
    const std::string partial = tempName(final);
    std::vector<std::string> args{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
    args.insert(args.end(), inputs.begin(), inputs.end());
    args.insert(args.end(), outputOptions.begin(), outputOptions.end());
    // The partial name hides the container from ffmpeg; say it explicitly.
    args.push_back("-f");
    args.push_back(format);
    args.push_back(partial);
    runFfmpeg(args);
    fs::rename(partial, final);
    return final.string();
}

std::string TestMedia::written(const std::string& name, const std::string& content) {
    const fs::path final = fs::path(TestMedia::folder()) / name;
    if (fs::exists(final)) {
        return final.string();
    }
    const std::string partial = tempName(final);
    std::ofstream(partial, std::ios::binary) << content;
    fs::rename(partial, final);
    return final.string();
}

std::string TestMedia::folder() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("pellucor-test-media-" + std::string(kVersion) + "-" + std::to_string(::getuid()));
    fs::create_directories(dir);
    return dir.string();
}

std::string TestMedia::video() {
    const std::string d = seconds(kDuration);
    return generated("video.mkv", "matroska",
                     {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + d, "-f",
                      "lavfi", "-i", "sine=frequency=440:sample_rate=48000:duration=" + d},
                     {"-c:v", "libx264", "-preset", "ultrafast", "-g", "25", "-pix_fmt", "yuv420p",
                      "-c:a", "flac", "-shortest"});
}

std::string TestMedia::audio() {
    const std::string d = seconds(kDuration);
    return generated("audio.mp3", "mp3",
                     {"-f", "lavfi", "-i", "sine=frequency=660:sample_rate=44100:duration=" + d},
                     {"-c:a", "libmp3lame", "-b:a", "64k"});
}

std::string TestMedia::lowRateAudio() {
    const std::string d = seconds(kDuration);
    return generated("dictation-8k.wav", "wav",
                     {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=8000:duration=" + d},
                     {"-ac", "1", "-c:a", "pcm_s16le"});
}

std::string TestMedia::fifo() {
    const fs::path final = fs::path(folder()) / "no-writer.fifo";
    if (!fs::exists(fs::symlink_status(final))) {
        const std::string partial = tempName(final);
        if (::mkfifo(partial.c_str(), 0600) != 0) {
            throw std::runtime_error("TestMedia: cannot make a FIFO");
        }
        fs::rename(partial, final);
    }
    return final.string();
}

std::string TestMedia::text() {
    return written("notes.txt",
                   "Transcript, first draft.\nSpeaker A: hello.\nSpeaker B: hello again.\n");
}

std::string TestMedia::missing() {
    return (fs::path(folder()) / "does-not-exist.mkv").string();
}
