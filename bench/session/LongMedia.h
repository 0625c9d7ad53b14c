#pragma once

#include <string>

// A long file made cheaply by looping a 20-second clip without re-encoding, cached beside the
// other test media. The clip is the short test video, or at another picture size one made the
// same way. Throws std::runtime_error when ffmpeg fails.
std::string longVideo(int seconds, const std::string& size = "320x240");
