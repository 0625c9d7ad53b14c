#include "HeardClicks.h"

#include <cstdlib>

#include "TestMedia.h"

namespace {

// A click is the first loud sample after half a second of quiet on its channel.
std::vector<std::size_t> onsets(const std::vector<std::int16_t>& samples, int channel,
                                int sampleRate) {
    // The players play at half volume, an eighth of the amplitude: far above the silence between.
    constexpr int kLoud = 1000;
    const std::size_t quiet = static_cast<std::size_t>(sampleRate / 2);
    std::vector<std::size_t> found;
    std::size_t lastLoud = 0;
    bool any = false;
    for (std::size_t frame = 0; 2 * frame + 1 < samples.size(); ++frame) {
        if (std::abs(samples[2 * frame + static_cast<std::size_t>(channel)]) < kLoud)
            continue;
        if (!any || frame - lastLoud > quiet)
            found.push_back(frame);
        lastLoud = frame;
        any = true;
    }
    return found;
}

// A click of 2 ms at every whole second.
const std::string kClick = "if(lt(mod(t\\,1)\\,0.002)\\,0.8\\,0)";

// The click on player 1's channel (left) or player 2's (right), as ffmpeg's input options.
std::vector<std::string> clicks(const std::string& click, int player, int rate, int seconds) {
    return {"-f", "lavfi", "-i",
            "aevalsrc=" + (player == 1 ? click + "|0" : "0|" + click) +
                ":s=" + std::to_string(rate) + ":d=" + std::to_string(seconds)};
}

// The test picture beside the sound.
std::vector<std::string> withPicture(std::vector<std::string> sound, int seconds) {
    sound.insert(
        sound.begin(),
        {"-f", "lavfi", "-i", "testsrc=size=320x240:rate=25:duration=" + std::to_string(seconds)});
    return sound;
}

}  // namespace

std::vector<ClickPair> heardClickPairs(const std::vector<std::int16_t>& interleavedStereo,
                                       int sampleRate) {
    const auto left = onsets(interleavedStereo, 0, sampleRate);
    const auto right = onsets(interleavedStereo, 1, sampleRate);
    const double most = 0.4 * sampleRate;
    std::vector<ClickPair> pairs;
    for (const std::size_t l : left) {
        double best = most + 1;
        for (const std::size_t r : right) {
            const double d = static_cast<double>(r) - static_cast<double>(l);
            if (std::abs(d) < std::abs(best))
                best = d;
        }
        if (std::abs(best) <= most)
            pairs.push_back({static_cast<double>(l) / sampleRate, best * 1000.0 / sampleRate});
    }
    return pairs;
}

std::string clickFile(ClickMedia media, int player, int seconds) {
    const std::string name =
        "clicks" + std::to_string(player) + (seconds == 30 ? "" : "-" + std::to_string(seconds));
    if (media == ClickMedia::Sound)
        return TestMedia::generated(name + ".wav", "wav", clicks(kClick, player, 48000, seconds),
                                    {"-c:a", "pcm_s16le"});
    return TestMedia::generated(name + ".mp4", "mp4",
                                withPicture(clicks(kClick, player, 48000, seconds), seconds),
                                {"-c:v", "libx264", "-preset", "ultrafast", "-g", "25", "-pix_fmt",
                                 "yuv420p", "-c:a", "aac", "-b:a", "128k", "-shortest"});
}

std::string driftingClickFile(double offset, double driftPpm, int seconds, int player) {
    const std::string o = std::to_string(offset);
    const std::string rate = std::to_string(1.0 + driftPpm * 1e-6);
    const std::string click =
        "if(gte(t\\," + o + ")*lt(mod((t-" + o + ")/" + rate + "\\,1)\\,0.002)\\,0.8\\,0)";
    const std::string name = "clicks" + std::to_string(player) + "-" + o + "-" +
                             std::to_string(driftPpm) + "-" + std::to_string(seconds) + ".flac";
    return TestMedia::generated(name, "flac", clicks(click, player, 48000, seconds),
                                {"-c:a", "flac", "-sample_fmt", "s16"});
}

std::string clickFile(ClickFormat format, int player) {
    constexpr int kSeconds = 30;
    const auto sound = [&](int rate) { return clicks(kClick, player, rate, kSeconds); };
    const std::string name = "clicks" + std::to_string(player) + "-";
    switch (format) {
        case ClickFormat::ScreenRecording:
            return TestMedia::generated(
                name + "screen.mp4", "mp4", withPicture(sound(48000), kSeconds),
                {"-vf", "select='not(mod(n\\,125))'", "-fps_mode", "vfr", "-c:v", "libx264",
                 "-preset", "ultrafast", "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "128k"});
        case ClickFormat::HevcCamera:
            return TestMedia::generated(
                name + "camera.mov", "mov", withPicture(sound(48000), kSeconds),
                {"-c:v", "libx265", "-preset", "ultrafast", "-x265-params", "log-level=error",
                 "-pix_fmt", "yuv420p", "-tag:v", "hvc1", "-c:a", "aac", "-b:a", "128k"});
        case ClickFormat::Wma: {
            // ffmpeg's WMA encoder primes with a frame of 2048 samples, and its ASF muxer
            // labels the first sound heard 0.092 s (whole milliseconds) though it was written
            // at 2048 / 44100 s: what was written at t is found 45.6 ms later in the file's own
            // time. Written that much early, the clicks fall on whole seconds there.
            const std::string early = std::to_string(0.092 - 2048.0 / 44100);
            const std::string click = "if(lt(mod(t+" + early + "\\,1)\\,0.002)\\,0.8\\,0)";
            return TestMedia::generated(name + "sound-on-time.wma", "asf",
                                        clicks(click, player, 44100, kSeconds),
                                        {"-c:a", "wmav2", "-b:a", "128k"});
        }
        case ClickFormat::Opus:
            return TestMedia::generated(name + "sound.opus", "ogg", sound(48000),
                                        {"-c:a", "libopus", "-b:a", "96k"});
        case ClickFormat::Phone3gp:
            return TestMedia::generated(name + "phone.3gp", "3gp", sound(16000),
                                        {"-c:a", "aac", "-b:a", "48k"});
        case ClickFormat::Flac96k:
            return TestMedia::generated(name + "sound.flac", "flac", sound(96000),
                                        {"-c:a", "flac"});
    }
    return {};
}
