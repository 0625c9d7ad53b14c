#pragma once

#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "MpvPlayer.h"
#include "PlayerGroups.h"
#include "PortalHotKeyPlatform.h"
#include "SessionChoice.h"
#include "SoundAligner.h"
#include "X11HotKeyPlatform.h"
#include "frm1.h"

class IFileDialog;
class IMessageBox;

// What the program's window is made of beyond what every window has: who asks for files, who
// shows messages, where the keys come from. The whole-program tests and the benchmarks choose
// differently from the program; all of them get the window put together here.
struct WindowParts {
    IFileDialog& fileDialog;
    IMessageBox& messageBox;
    KeySource keys = KeySource::X11Grabs;
    // Each player as the window gets it: a benchmark wraps it to log its calls.
    std::function<std::unique_ptr<IMediaPlayer>(std::unique_ptr<IMediaPlayer>)> wrapPlayer = {};
    // Without a shared start each player starts and shows its pictures on its own (for
    // comparison in a benchmark).
    bool sharedStart = true;
    std::chrono::milliseconds openTimeout = MpvPlayer::kOpenTimeout;
};

// The window with its real players, the groups they start and show their pictures in, its hot
// keys and its aligner.
// The window is made at once; it goes with this object unless it has been deleted before (the
// program deletes it when it ends in order).
class ProgramWindow {
public:
    explicit ProgramWindow(WindowParts parts);
    ~ProgramWindow();
    ProgramWindow(const ProgramWindow&) = delete;
    ProgramWindow& operator=(const ProgramWindow&) = delete;

    frm1* window() const { return m_window.data(); }
    // The desktop's portal when the keys come from it, else null.
    PortalHotKeyPlatform* portal() const { return m_portal.get(); }

private:
    // The groups of the players a shared start gives (the first) or one for each player.
    PlayerGroups& groupsForAPlayer(bool shared);

    // Made before the window and gone after it: the players announce to them until they go.
    std::vector<std::unique_ptr<PlayerGroups>> m_groups;
    // Made before the window and gone after it: its worker threads end with it.
    SoundAligner m_aligner;
    X11HotKeyPlatform m_x11Keys;
    std::unique_ptr<PortalHotKeyPlatform> m_portal;
    QPointer<frm1> m_window;
};
