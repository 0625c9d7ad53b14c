#include "PlayerHarness.h"

#include <QTest>
#include <stdexcept>

PlayerHarness::PlayerHarness(int count, bool shown) {
    m_window.resize(20 + count * 300, 260);
    for (int i = 0; i < count; ++i) {
        auto* host = new QWidget(&m_window);
        host->setGeometry(8 + i * 300, 8, 289, 201);
        m_hosts.push_back(host);
        m_players.push_back(std::make_unique<MpvPlayer>(host, &m_coordinator));
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
    for (auto& p : m_players) {
        p->setAutoStart(false);
        p->setURL(path);
    }
}
