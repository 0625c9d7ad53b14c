#pragma once

#include <string>

// A long file made cheaply from the short test video, looped without re-encoding, cached beside
// the other test media. Throws std::runtime_error when ffmpeg fails.
std::string longVideo(int seconds);
