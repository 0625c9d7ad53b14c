#include "TestMedia.h"

#include <unistd.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Bump when the files change, so stale ones from an older build are not reused.
constexpr const char* kVersion = "v2";

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

// Makes the file once: under a name of this process's own, renamed when complete.
std::string madeAt(const fs::path& final, const std::function<void(const std::string&)>& make) {
    if (!fs::exists(fs::symlink_status(final))) {
        const std::string partial = final.string() + ".part" + std::to_string(::getpid());
        make(partial);
        fs::rename(partial, final);
    }
    return final.string();
}

std::string madeOnce(const std::string& name, const std::function<void(const std::string&)>& make) {
    return madeAt(fs::path(TestMedia::folder()) / name, make);
}

std::string length() {
    return std::to_string(static_cast<int>(TestMedia::kDuration));
}

// A tone of the files' whole length at this sample rate, as ffmpeg's input options.
std::vector<std::string> tone(int frequency, int sampleRate) {
    return {"-f", "lavfi", "-i",
            "sine=frequency=" + std::to_string(frequency) +
                ":sample_rate=" + std::to_string(sampleRate) + ":duration=" + length()};
}

}  // namespace

std::string TestMedia::generated(const std::string& name, const std::string& format,
                                 const std::vector<std::string>& inputs,
                                 const std::vector<std::string>& outputOptions) {
    return madeOnce(name, [&](const std::string& partial) {
        std::vector<std::string> args{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"};
        args.insert(args.end(), inputs.begin(), inputs.end());
        args.insert(args.end(), outputOptions.begin(), outputOptions.end());
        // The partial name hides the container from ffmpeg; say it explicitly.
        args.insert(args.end(), {"-f", format, partial});
        runFfmpeg(args);
    });
}

std::string TestMedia::written(const std::string& name, const std::string& content) {
    return madeOnce(name, [&](const std::string& partial) {
        std::ofstream(partial, std::ios::binary) << content;
    });
}

std::string TestMedia::videoCopy(const std::string& path, bool fresh) {
    if (fresh)
        fs::remove(path);
    return madeAt(path, [](const std::string& partial) { fs::copy_file(video(), partial); });
}

std::string TestMedia::wav(const std::string& name, const WavFormat& f, const std::string& data) {
    const auto le = [](std::size_t value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += static_cast<char>((value >> (8 * i)) & 0xFFu);
        return out;
    };
    const std::string format = le(f.tag, 2) + le(f.channels, 2) + le(f.rate, 4) +
                               le(f.byteRate, 4) + le(f.blockAlign, 2) + le(f.bits, 2) + f.extra;
    const std::string body =
        "WAVEfmt " + le(format.size(), 4) + format + "data" + le(data.size(), 4) + data;
    return written(name, "RIFF" + le(body.size(), 4) + body);
}

std::string TestMedia::folder() {
    const fs::path dir =
        fs::temp_directory_path() /
        ("pellucor-test-media-" + std::string(kVersion) + "-" + std::to_string(::getuid()));
    fs::create_directories(dir);
    return dir.string();
}

std::string TestMedia::video() {
    std::vector<std::string> inputs = tone(440, 48000);
    inputs.insert(inputs.begin(),
                  {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + length()});
    return generated("video.mkv", "matroska", inputs,
                     {"-c:v", "libx264", "-preset", "ultrafast", "-g", "25", "-pix_fmt", "yuv420p",
                      "-c:a", "flac", "-shortest"});
}

std::string TestMedia::audio() {
    return generated("audio.mp3", "mp3", tone(660, 44100), {"-c:a", "libmp3lame", "-b:a", "64k"});
}

std::string TestMedia::lowRateAudio() {
    return generated("dictation-8k.wav", "wav", tone(440, 8000), {"-ac", "1", "-c:a", "pcm_s16le"});
}

std::string TestMedia::fifo() {
    return madeOnce("no-writer.fifo", [](const std::string& partial) {
        if (::mkfifo(partial.c_str(), 0600) != 0)
            throw std::runtime_error("TestMedia: cannot make a FIFO");
    });
}

std::string TestMedia::text() {
    return written("notes.txt",
                   "Transcript, first draft.\nSpeaker A: hello.\nSpeaker B: hello again.\n");
}

std::string TestMedia::missing() {
    return (fs::path(folder()) / "does-not-exist.mkv").string();
}
