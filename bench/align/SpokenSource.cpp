#include "SpokenSource.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

#include "TestMedia.h"

namespace {

void run(std::vector<std::string> argv) {
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (::posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("spokenSource: " + argv[0] + " failed");
}

// Sentences of made-up words from common syllables: about three words a second when spoken.
std::string text(std::size_t words, std::mt19937& random) {
    static const char* const kOnsets[] = {"b", "d", "f", "g", "h", "k",  "l",  "m",  "n",  "p",
                                          "r", "s", "t", "v", "w", "st", "tr", "pl", "sh", "ch"};
    static const char* const kVowels[] = {"a", "e", "i", "o", "u", "ai", "ea", "oo", "ou"};
    static const char* const kCodas[] = {"", "", "n", "s", "t", "r", "l", "nd", "ck", "m"};
    std::uniform_int_distribution<int> onset(0, 19), vowel(0, 8), coda(0, 9), syllables(1, 3),
        sentence(4, 14);
    std::string out;
    int left = sentence(random);
    for (std::size_t w = 0; w < words; ++w) {
        for (int s = syllables(random); s > 0; --s)
            out +=
                std::string(kOnsets[onset(random)]) + kVowels[vowel(random)] + kCodas[coda(random)];
        if (--left == 0) {
            out += w % 3 ? ". " : "? ";
            left = sentence(random);
        } else {
            out += w % 5 == 4 ? ", " : " ";
        }
    }
    return out + ".";
}

}  // namespace

std::vector<float> spokenSource(double seconds, int rate, std::uint32_t seed) {
    std::mt19937 random(seed);
    const std::filesystem::path base =
        std::filesystem::path(TestMedia::folder()) /
        ("spoken-" + std::to_string(seed) + "-" + std::to_string(::getpid()));
    const std::string words = base.string() + ".txt", wav = base.string() + ".wav",
                      raw = base.string() + ".f32";
    std::ofstream(words) << text(std::size_t(seconds * 3.6) + 20, random);
    run({"espeak-ng", "-s", "165", "-w", wav, "-f", words});
    run({"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-i", wav, "-ac", "1",
         "-ar", std::to_string(rate), "-f", "f32le", raw});
    std::vector<float> samples(std::filesystem::file_size(raw) / sizeof(float));
    std::ifstream(raw, std::ios::binary)
        .read(reinterpret_cast<char*>(samples.data()),
              std::streamsize(samples.size() * sizeof(float)));
    for (const std::string& f : {words, wav, raw})
        std::filesystem::remove(f);
    if (double(samples.size()) < seconds * rate)
        throw std::runtime_error("spokenSource: espeak-ng spoke too briefly");
    float peak = 1e-9f;
    for (const float s : samples)
        peak = std::max(peak, std::abs(s));
    for (float& s : samples)
        s *= 0.5f / peak;
    return samples;
}
