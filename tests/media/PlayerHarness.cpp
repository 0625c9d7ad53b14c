#include "PlayerHarness.h"

#include <QTest>
#include <stdexcept>
#include <utility>

#include "PictureHold.h"
#include "ProcessSetup.h"

PlayerHarness::PlayerHarness(int count, bool shown) {
    prepareProcessWithoutMain();
    m_groups.setTogether(&PictureHold::together);
    m_window.resize(20 + count * 300, 260);
    for (int i = 0; i < count; ++i) {
        auto* host = new QWidget(&m_window);
        host->setGeometry(8 + i * 300, 8, 289, 201);
        m_hosts.push_back(host);
        m_players.push_back(std::make_unique<MpvPlayer>(host, m_groups));
    }
    m_openEnds.resize(m_players.size());
    for (std::size_t i = 0; i < m_players.size(); ++i) {
        m_players[i]->onOpenEnded([this, i](const PlayerError* refusal) {
            m_openEnds[i] = {true, refusal ? refusal->what() : ""};
        });
    }
    if (shown) {
        show();
    }
}

void PlayerHarness::show() {
    m_window.show();
    // The picture can only be drawn once the window is on screen.
    if (!QTest::qWaitForWindowExposed(&m_window)) {
        throw std::runtime_error("test window never appeared");
    }
}

void PlayerHarness::openPaused(const std::string& path) {
    for (int i = 0; i < static_cast<int>(m_players.size()); ++i) {
        startOpen(i, path);
    }
    for (int i = 0; i < static_cast<int>(m_players.size()); ++i) {
        awaitOpen(i);
    }
}

void PlayerHarness::openPaused(int index, const std::string& path) {
    startOpen(index, path);
    awaitOpen(index);
}

void PlayerHarness::startOpen(int index, const std::string& path) {
    m_openEnds.at(static_cast<std::size_t>(index)) = {};
    player(index).setAutoStart(false);
    player(index).setURL(path);
}

void PlayerHarness::awaitOpen(int index) {
    OpenEnd& end = m_openEnds.at(static_cast<std::size_t>(index));
    // Longer than the player's own timeout: it always says something first.
    const auto limit = MpvPlayer::kOpenTimeout + std::chrono::seconds(5);
    if (!QTest::qWaitFor([&] { return end.told; }, static_cast<int>(limit.count()))) {
        throw std::runtime_error("a player never said how its open ended");
    }
    const OpenEnd told = std::exchange(end, {});
    if (!told.refusal.empty()) {
        throw std::runtime_error("a player refused the file: " + told.refusal);
    }
}
