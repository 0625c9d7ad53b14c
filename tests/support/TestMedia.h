#pragma once

#include <string>
#include <vector>

// Media for tests and benchmarks, made with ffmpeg on first use into a folder under the system's
// temporary directory and reused by every later test process. Each file is written under a
// temporary name and renamed when complete, so processes running at the same time never see a
// half-written file. Throws std::runtime_error when ffmpeg is missing or fails.
class TestMedia {
public:
    static constexpr double kDuration = 20.0;
    static constexpr double kFrameRate = 25.0;

    // 20 s of 320x240 video at 25 fps with a tone, a key frame every second.
    static std::string video();
    // 20 s of a tone, no picture.
    static std::string audio();
    // 20 s of a tone at 8 kHz, mono, as dictation devices and telephones record it.
    static std::string lowRateAudio();
    // A named pipe nobody writes to: opening it for reading never finishes.
    static std::string fifo();
    // Plain text that no player takes for media.
    static std::string text();
    // A path where nothing exists.
    static std::string missing();
    // The folder everything above lives in.
    static std::string folder();

    // A file of that name in folder(), made by ffmpeg from these inputs and output options in
    // the given container format, unless it is there already. Returns its path.
    static std::string generated(const std::string& name, const std::string& format,
                                 const std::vector<std::string>& inputs,
                                 const std::vector<std::string>& outputOptions);
    // A file of that name in folder() holding these bytes, unless it is there already.
    static std::string written(const std::string& name, const std::string& content);

    // A copy of video() at this path, made under another name and renamed when complete; one
    // there already is kept unless `fresh`. Returns the path.
    static std::string videoCopy(const std::string& path, bool fresh);

    // The fields of a WAV file's format chunk, for files no encoder writes; `extra` follows them.
    struct WavFormat {
        int tag, channels, rate, byteRate, blockAlign, bits;
        std::string extra = {};
    };
    // A WAV file of that name in folder() in this format, with `data` as its samples.
    static std::string wav(const std::string& name, const WavFormat& format,
                           const std::string& data);
};
