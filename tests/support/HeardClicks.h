#pragma once

#include <cstdint>
#include <string>
#include <vector>

// What a listener hears of two players whose files click once a second, player 1's on the left
// channel and player 2's on the right: for each click of player 1, how much later player 2's
// nearest click sounded (negative: earlier). Clicks more than 0.4 s apart do not pair.
struct ClickPair {
    double at;        // seconds into the recording, player 1's click
    double offsetMs;  // player 2's click minus player 1's
};

std::vector<ClickPair> heardClickPairs(const std::vector<std::int16_t>& interleavedStereo,
                                       int sampleRate = 48000);

// The files that click: 30 s unless told, a click of 2 ms at every whole second, on the left for
// player 1 and on the right for player 2, as a WAV (48 kHz) or as an MP4 video with AAC sound.
enum class ClickMedia { Sound, Video };
std::string clickFile(ClickMedia media, int player, int seconds = 30);

// The same clicks in the formats users bring, each pair different in both players:
// a screen recording with a picture every 5 s (variable frame rate, H.264 in MP4) beside an
// HEVC camera file (MOV); Opus; a phone's 3GP (AAC at 16 kHz) beside FLAC at 96 kHz.
// Player 2's clicks of a recorder started `offset` seconds before player 1's whose clock runs
// `driftPpm` fast: player 1's click at second t is at offset + t · (1 + driftPpm · 10⁻⁶) here.
// As FLAC, which keeps an hour of clicks small; on the left for player 1.
std::string driftingClickFile(double offset, double driftPpm, int seconds, int player = 2);

enum class ClickFormat { ScreenRecording, HevcCamera, Opus, Phone3gp, Flac96k };
std::string clickFile(ClickFormat format, int player);
