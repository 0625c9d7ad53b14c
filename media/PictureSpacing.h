#pragma once

#include <optional>

// Whether a file's pictures come so far apart (a screen recording that writes a picture only
// when the screen changes) that the player fills the time between them with copies. libmpv
// shows a picture's time as the position until the next picture, lands a seek between two
// pictures on the later one, and starts the sound there too: a step back would land on the
// next picture, a pause would move on to it. With kFilledRate pictures a second the position, a
// seek and a pause keep to the sound as in a video with a regular rate.
class PictureSpacing {
public:
    // Pictures further apart than this many seconds on average are sparse.
    static constexpr double kSparseFrom = 0.25;
    // How often a picture is shown where they are filled in: as often as in a PAL video.
    static constexpr double kFilledRate = 25.0;

    // Another file is about to be opened. Returns whether the pictures were being filled in,
    // so that the player stops doing so before it.
    bool fileOpening();
    // libmpv's estimate of the pictures a second of the open file, from the last pictures'
    // times (nothing while it has none). Returns true when the pictures are to be filled in
    // from now on: once per file, and never for a still picture (a cover), which stays on
    // screen on its own.
    bool rateReported(std::optional<double> perSecond, bool stillPicture);
    bool filled() const { return m_filled; }

private:
    bool m_filled = false;
};
