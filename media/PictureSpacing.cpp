#include "PictureSpacing.h"

#include <utility>

bool PictureSpacing::fileOpening() {
    return std::exchange(m_filled, false);
}

bool PictureSpacing::rateReported(std::optional<double> perSecond, bool stillPicture) {
    // Once filled in, libmpv reports the rate of the copies: the file stays filled in.
    if (m_filled || stillPicture || !perSecond || !(*perSecond > 0.0)) {
        return false;
    }
    m_filled = 1.0 / *perSecond > kSparseFrom;
    return m_filled;
}
