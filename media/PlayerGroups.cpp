#include "PlayerGroups.h"

#include <utility>

PlayerGroups::PlayerGroups() : PlayerGroups(Timing{}, nullptr) {}

PlayerGroups::PlayerGroups(Timing timing, TurnClock* clock)
    : m_ownClock(clock ? nullptr : makeQtTurnClock()),
      m_clock(clock ? *clock : *m_ownClock),
      m_starts(m_clock, timing.startPatience),
      m_pictures(m_clock, timing.picturePatience, timing.pictureMargin) {}

void PlayerGroups::setTogether(PictureGroup::Together together) {
    m_pictures.setTogether(std::move(together));
}

void PlayerGroups::startRequested(IListenedPlayer& player) {
    m_starts.request(player);
}

void PlayerGroups::startWithdrawn(IListenedPlayer& player) {
    m_starts.withdraw(player);
}

void PlayerGroups::seekBegan(IListenedPlayer& player) {
    m_pictures.seekBegins(player);
}

void PlayerGroups::seekLanded(IListenedPlayer&) {
    m_pictures.check();
    m_starts.check();
}

void PlayerGroups::emptied(IListenedPlayer& player) {
    m_pictures.withdraw(player);
}
