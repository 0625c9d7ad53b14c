// Steps that several commands take on both players, always player 1 first. Player 1 is the
// reference: whenever the two are aligned, player 2 goes to player 1.
#include "frm1.h"

#include "WindowLog.h"

bool frm1::player1Playing() { return wmp1->playState() == IMediaPlayer::kPlaying; }

void frm1::pauseBoth() {
    stopFollowing();
    wmp1->pause();
    wmp2->pause();
}

// Every caller has just aligned the two, so player 2 follows player 1 from here.
void frm1::startBoth() {
    m_soundReturnsSeen = soundReturns();
    wmp1->play();
    wmp2->play();
    m_follower.engage();
    m_followTimer.setInterval(PlayerFollower::kSampleInterval);
}

void frm1::stopFollowing() {
    m_follower.disengage(*wmp2);
    m_followTimer.setInterval(0);
}

std::uint64_t frm1::soundReturns() { return wmp1->soundReturns() + wmp2->soundReturns(); }

void frm1::followPlayer1() {
    // Sound that came back with its sound server starts from queues filled at different moments:
    // both players start again, aligned, as at F3.
    if (soundReturns() != m_soundReturnsSeen) {
        qCInfo(lcWindow) << "the sound is back: both players start again together";
        pauseBoth();
        alignPlayer2();
        startBoth();
        return;
    }
    m_follower.sample(*wmp1, *wmp2);
    if (!m_follower.engaged())
        m_followTimer.setInterval(0);
}

void frm1::alignPlayer2() { wmp2->setCurrentPosition(wmp1->currentPosition()); }

void frm1::moveBoth(double seconds) {
    stopFollowing();
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
