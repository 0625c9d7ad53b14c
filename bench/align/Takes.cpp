#include "Takes.h"

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <random>
#include <stdexcept>

#include "SpeechLike.h"
#include "TestMedia.h"

namespace {

void addNoise(std::vector<float>& samples, double snrDb, std::uint32_t seed) {
    double energy = 0;
    for (const float s : samples)
        energy += double(s) * s;
    const double level = std::sqrt(energy / double(samples.size()) / std::pow(10.0, snrDb / 10));
    std::mt19937 random(seed);
    std::normal_distribution<float> normal(0.0f, float(level));
    for (float& s : samples)
        s += normal(random);
}

const std::map<std::string, Microphone>& microphones() {
    const std::string echo = "aecho=0.8:0.6:23|47|89:0.35|0.25|0.15";
    static const std::map<std::string, Microphone> table = {
        {"wav44", {"wav44", 0, "", "wav", {"-ar", "44100"}}},
        {"flac48", {"flac48", 20, "highpass=f=80", "flac", {"-ar", "48000", "-c:a", "flac"}}},
        {"mp3-bp",
         {"mp3-bp",
          20,
          "highpass=f=200,lowpass=f=4000",
          "mp3",
          {"-ar", "44100", "-c:a", "libmp3lame", "-b:a", "96k"}}},
        {"aac-echo-12dB",
         {"aac-echo-12dB",
          20,
          "highpass=f=100," + echo + ",volume=-12dB",
          "ipod",
          {"-ar", "48000", "-c:a", "aac", "-b:a", "96k"}}},
        {"opus-10dB",
         {"opus-10dB",
          10,
          "lowpass=f=6000",
          "ogg",
          {"-ar", "48000", "-c:a", "libopus", "-b:a", "32k"}}},
        {"mp3-echo-10dB",
         {"mp3-echo-10dB", 10, echo, "mp3", {"-ar", "44100", "-c:a", "libmp3lame", "-b:a", "64k"}}},
        {"telephone",
         {"telephone",
          20,
          "highpass=f=300,lowpass=f=3400",
          "wav",
          {"-ar", "8000", "-c:a", "pcm_mulaw"}}},
        {"telephone-10dB",
         {"telephone-10dB",
          10,
          "highpass=f=300,lowpass=f=3400",
          "wav",
          {"-ar", "8000", "-c:a", "pcm_mulaw"}}},
        {"opus-12dB",
         {"opus-12dB",
          20,
          "highpass=f=150,volume=-12dB",
          "ogg",
          {"-ar", "48000", "-c:a", "libopus", "-b:a", "48k"}}},
        {"aac44-echo-10dB",
         {"aac44-echo-10dB",
          10,
          "lowpass=f=5000," + echo,
          "ipod",
          {"-ar", "44100", "-c:a", "aac", "-b:a", "64k"}}},
    };
    return table;
}

}  // namespace

const Microphone& microphone(const std::string& name) {
    return microphones().at(name);
}

std::string take(const std::vector<float>& source, int rate, double from, double seconds,
                 double stretch, const Microphone& mic, std::uint32_t noiseSeed,
                 const std::string& name) {
    const std::filesystem::path made = std::filesystem::path(TestMedia::folder()) / name;
    if (std::filesystem::exists(made))
        return made.string();
    std::vector<float> samples = excerptOf(source, rate, from, seconds, stretch);
    if (mic.snrDb > 0)
        addNoise(samples, mic.snrDb, noiseSeed);
    const std::string wav = made.string() + ".source" + std::to_string(::getpid()) + ".wav";
    writeWav(wav, samples, rate);
    samples = {};
    std::vector<std::string> options;
    if (!mic.filters.empty())
        options = {"-af", mic.filters};
    options.insert(options.end(), mic.output.begin(), mic.output.end());
    try {
        TestMedia::generated(name, mic.format, {"-i", wav}, options);
    } catch (...) {
        std::filesystem::remove(wav);
        throw;
    }
    std::filesystem::remove(wav);
    return made.string();
}
