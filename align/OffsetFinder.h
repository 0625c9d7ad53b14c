#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "Alignment.h"
#include "SoundDecoder.h"

// The names say which file is silent in the refusal's sentence.
struct NamedSound {
    const MonoSound& sound;
    const std::string& name;
};

// Offset and drift of sound 2 against sound 1: a coarse search on the envelopes over every lag,
// then GCC-PHAT windows over the overlap and a line through the windows that agree. Raises
// AlignError NoCommonSound when the two share no sound (or one is silent), Cancelled once the
// flag is set. Progress goes from 0 to 1.
Alignment findAlignment(const NamedSound& first, const NamedSound& second,
                        const std::atomic<bool>& cancelled,
                        const std::function<void(double)>& progress);
