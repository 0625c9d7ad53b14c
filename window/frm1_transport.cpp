#include <exception>

#include "frm1.h"

namespace {

const char* const kCannotPlay = "Fehler: Mediadatei kann nicht abgespielt werden";

constexpr double kBackStep = 1.0;

double stepBack(double position) {
    return position - kBackStep > 0.0 ? position - kBackStep : 0.0;
}

}  // namespace

// Player 1 is the reference: whenever the two are aligned, player 2 goes to player 1.

void frm1::play_both() {
    try {
        // Both stand still before the copy, so both start from the same second.
        wmp1->pause();
        wmp2->pause();
        wmp2->setCurrentPosition(wmp1->currentPosition());
        wmp1->play();
        wmp2->play();
        Timer1.setInterval(kDisplayInterval);
    } catch (const std::exception&) {
        m_messageBox.show(kCannotPlay);
    }
}

void frm1::pause_both() {
    try {
        wmp1->pause();
        wmp2->pause();
        wmp2->setCurrentPosition(wmp1->currentPosition());
        Timer1.setInterval(0);
    } catch (const std::exception&) {
        m_messageBox.show(kCannotPlay);
    }
}

void frm1::back_both() {
    try {
        // Only player 1's state counts; paused players keep their offset.
        const bool wasPlaying = wmp1->playState() == IMediaPlayer::kPlaying;
        if (wasPlaying) {
            wmp1->pause();
            wmp2->pause();
            wmp2->setCurrentPosition(wmp1->currentPosition());
        }
        Timer1.setInterval(kDisplayInterval);
        const double t1 = stepBack(wmp1->currentPosition());
        const double t2 = stepBack(wmp2->currentPosition());
        wmp1->setCurrentPosition(t1);
        wmp2->setCurrentPosition(t2);
        if (wasPlaying) {
            wmp1->play();
            wmp2->play();
        } else {
            Timer1.setInterval(0);
        }
    } catch (const std::exception&) {
        m_messageBox.show(kCannotPlay);
    }
}
