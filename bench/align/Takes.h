#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One source heard by simulated microphones: noise at a signal-to-noise ratio (against the
// take's whole mean square), then ffmpeg's filters (band-pass, reverberation, gain), a sample
// rate and a codec.
struct Microphone {
    std::string name;                 // for the table and the file's name
    double snrDb;                     // noise added; 0 for none
    std::string filters;              // ffmpeg -af, may be empty
    std::string format;               // ffmpeg -f
    std::vector<std::string> output;  // rate and codec options
};

// A take of the source: `seconds` from second `from`, its clock running `stretch` times as fast
// as the source's (see excerptOf), through the microphone. Made with ffmpeg into the test
// media folder under `name` unless it is there already; returns its path.
std::string take(const std::vector<float>& source, int rate, double from, double seconds,
                 double stretch, const Microphone& microphone, std::uint32_t noiseSeed,
                 const std::string& name);

// The microphones the benchmark uses, by name.
const Microphone& microphone(const std::string& name);
