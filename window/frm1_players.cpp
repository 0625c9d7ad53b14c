// Steps that several commands take on both players, always player 1 first. Player 1 is the
// reference: whenever the two are aligned, player 2 goes to player 1.
#include "frm1.h"

bool frm1::player1Playing() { return wmp1->playState() == IMediaPlayer::kPlaying; }

void frm1::pauseBoth() {
    wmp1->pause();
    wmp2->pause();
}

void frm1::startBoth() {
    wmp1->play();
    wmp2->play();
}

void frm1::alignPlayer2() { wmp2->setCurrentPosition(wmp1->currentPosition()); }

void frm1::moveBoth(double seconds) {
    wmp1->setCurrentPosition(seconds);
    wmp2->setCurrentPosition(seconds);
}

void frm1::resumeOrStopDisplay(bool wasPlaying) {
    if (wasPlaying) {
        startBoth();
    } else {
        Timer1.setInterval(0);
    }
}
