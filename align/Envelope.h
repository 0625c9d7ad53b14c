#pragma once

#include <vector>

#include "SoundDecoder.h"

// The cheap feature of the coarse search: the loudness of each frame (log energy), less its
// average over the surrounding second, so that gain, a microphone's colour and steady noise
// count for little and the rise and fall of syllables and notes for much.
struct Envelope {
    static constexpr int kRate = 100;  // frames a second
    std::vector<float> values;
};

Envelope envelopeOf(const MonoSound& sound);

// Mean square of the samples, full scale being 1.
double meanSquare(const MonoSound& sound);
