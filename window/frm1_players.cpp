// Steps that several commands take on both players, always player 1 first. Player 1 is the
// reference: whenever the two are aligned, player 2 goes to player 1.
#include "frm1.h"

#include <algorithm>
#include <cmath>

#include "WindowLog.h"

bool frm1::player1Playing() {
    return wmp1->playState() == IMediaPlayer::kPlaying;
}

void frm1::pauseBoth() {
    stopFollowing();
    wmp1->pause();
    wmp2->pause();
}

// Every caller has just aligned the two, so player 2 follows player 1 from here; a player 2
// waiting at its start joins later.
void frm1::startBoth() {
    m_soundReturnsSeen = soundReturns();
    applySpeed();
    wmp1->play();
    if (!m_player2Waits) {
        startPlayer2();
        return;
    }
    scheduleJoin();
}

void frm1::scheduleJoin() {
    const double wait = m_offset.player1At(0.0) - wmp1->positionNow();
    m_player2Join.start(static_cast<int>(std::clamp(std::ceil(wait * 1000.0), 0.0, 1e9)));
}

void frm1::startPlayer2() {
    wmp2->play();
    m_follower.engage();
    m_follower.keepToBaseRate(*wmp2);
    m_followTimer.setInterval(PlayerFollower::kSampleInterval);
}

void frm1::stopFollowing() {
    m_player2Join.stop();
    m_follower.disengage(*wmp2);
    m_followTimer.setInterval(0);
}

void frm1::join_player2() {
    m_player2Join.stop();
    if (!m_player2Waits || !player1Playing())
        return;
    placePlayer2(wmp1->positionNow());
    if (m_player2Waits) {
        scheduleJoin();  // not there yet: wait the rest
        return;
    }
    startPlayer2();
}

std::optional<int> frm1::player2JoinsIn() const {
    if (!m_player2Join.isActive())
        return std::nullopt;
    return m_player2Join.interval();
}

std::uint64_t frm1::soundReturns() {
    return wmp1->soundReturns() + wmp2->soundReturns();
}

void frm1::follow_player1() {
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

void frm1::alignPlayer2() {
    placePlayer2(wmp1->currentPosition());
}

// A moment before the start of file 2: player 2 waits at its start. One past its end goes to
// the player as it is, which stops at its end.
void frm1::placePlayer2(double position1) {
    if (m_offset.none()) {
        m_player2Waits = false;
        wmp2->setCurrentPosition(position1);
        return;
    }
    const double position2 = m_offset.player2At(position1);
    m_player2Waits = position2 < 0.0;
    wmp2->setCurrentPosition(m_player2Waits ? 0.0 : position2);
}

void frm1::moveBoth(double seconds) {
    stopFollowing();
    wmp1->setCurrentPosition(seconds);
    placePlayer2(seconds);
}

void frm1::resumeOrStopDisplay(bool wasPlaying) {
    if (wasPlaying) {
        startBoth();
    } else {
        Timer1.setInterval(0);
    }
}
