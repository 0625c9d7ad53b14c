#include <algorithm>
#include <exception>

#include "Messages.h"
#include "WindowLog.h"
#include "frm1.h"

namespace {

constexpr double kBackStep = 1.0;

double stepBack(double position) {
    return position - kBackStep > 0.0 ? position - kBackStep : 0.0;
}

}  // namespace

void frm1::play_both() {
    try {
        // Both stand still before the copy, so both start from the same second; from standing,
        // a little before it if the user asks for that.
        const bool resuming = m_stepBack > 0.0 && !player1Playing();
        pauseBoth();
        if (resuming)
            wmp1->setCurrentPosition(std::max(0.0, wmp1->currentPosition() - m_stepBack));
        alignPlayer2();
        startBoth();
        Timer1.setInterval(kDisplayInterval);
    } catch (const std::exception& e) {
        logDropped("play_both", e);
        m_messageBox.show(Messages::kCannotPlay);
    }
}

void frm1::pause_both() {
    try {
        pauseBoth();
        alignPlayer2();
        Timer1.setInterval(0);
    } catch (const std::exception& e) {
        logDropped("pause_both", e);
        m_messageBox.show(Messages::kCannotPlay);
    }
}

void frm1::back_both() {
    try {
        // Only player 1's state counts; paused players keep their offset.
        const bool wasPlaying = player1Playing();
        if (wasPlaying) {
            pauseBoth();
            alignPlayer2();
        }
        Timer1.setInterval(kDisplayInterval);
        const double t1 = stepBack(wmp1->currentPosition());
        if (wasPlaying && !m_offset.none()) {
            // Aligned: player 2 goes to the moment player 1 goes to.
            wmp1->setCurrentPosition(t1);
            placePlayer2(t1);
        } else {
            const double t2 = stepBack(wmp2->currentPosition());
            wmp1->setCurrentPosition(t1);
            wmp2->setCurrentPosition(t2);
        }
        resumeOrStopDisplay(wasPlaying);
    } catch (const std::exception& e) {
        logDropped("back_both", e);
        m_messageBox.show(Messages::kCannotPlay);
    }
}
