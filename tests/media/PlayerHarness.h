#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "MpvPlayer.h"
#include "PlayerGroups.h"

// A shown window holding players side by side, as the main window holds them, all in one
// start group and one picture group.
class PlayerHarness {
public:
    // The window is shown at once unless told otherwise.
    explicit PlayerHarness(int count, bool shown = true);

    MpvPlayer& player(int index) { return *m_players.at(static_cast<std::size_t>(index)); }
    QWidget& host(int index) { return *m_hosts.at(static_cast<std::size_t>(index)); }

    void show();
    // The player goes, its host stays.
    void destroyPlayer(int index) { m_players.at(static_cast<std::size_t>(index)).reset(); }
    // Opens the file paused at its start in every player, and waits until each says it is
    // open. Throws when one refuses it or never says.
    void openPaused(const std::string& path);
    // The same for one player.
    void openPaused(int index, const std::string& path);
    // Waits until the player says how the open that its last setURL started ended; throws when
    // it refused the file or never says.
    void awaitOpen(int index);

private:
    void startOpen(int index, const std::string& path);
    // How the last open of a player ended, once it has said so: empty, or why it was refused.
    struct OpenEnd {
        bool told = false;
        std::string refusal;
    };
    std::vector<OpenEnd> m_openEnds;

    QWidget m_window;
    PlayerGroups m_groups;
    std::vector<QWidget*> m_hosts;
    // Last, so the players go before their hosts and their groups.
    std::vector<std::unique_ptr<MpvPlayer>> m_players;
};
