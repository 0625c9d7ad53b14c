#include "ProgramWindow.h"

#include <QDBusConnection>
#include <map>
#include <string>

#include "MessageHook.h"
#include "PictureHold.h"
#include "RemoteNames.h"

namespace {

const std::map<std::string, std::string> kKeyDescriptions = {
    {"spielen", "Pellucor: play both players together"},
    {"stop", "Pellucor: pause both players"},
    {"zurueck", "Pellucor: both players one second back"},
};

}  // namespace

ProgramWindow::ProgramWindow(WindowParts parts) : m_x11Keys(MessageHook::instance()) {
    IHotKeyPlatform* keys = &m_x11Keys;
    if (parts.keys == KeySource::Portal) {
        // The portal leaves the window's own calls (its state, its restore) to the X11 platform.
        m_portal = std::make_unique<PortalHotKeyPlatform>(m_x11Keys, MessageHook::instance(),
                                                          QDBusConnection::sessionBus());
        m_portal->setDescriptions(kKeyDescriptions);
        m_portal->setSessionToken(RemoteNames::kDesktopEntry);
        keys = m_portal.get();
    }
    auto makePlayer = [this, shared = parts.sharedStart, timeout = parts.openTimeout,
                       wrap = std::move(parts.wrapPlayer)](QWidget* host) {
        std::unique_ptr<IMediaPlayer> player =
            std::make_unique<MpvPlayer>(host, groupsForAPlayer(shared), timeout);
        return wrap ? wrap(std::move(player)) : std::move(player);
    };
    m_window =
        new frm1({makePlayer, parts.fileDialog, parts.messageBox, *keys, MessageHook::instance()});
    m_window->setAligner(&m_aligner);
}

ProgramWindow::~ProgramWindow() {
    delete m_window.data();
}

PlayerGroups& ProgramWindow::groupsForAPlayer(bool shared) {
    if (!shared || m_groups.empty()) {
        m_groups.push_back(std::make_unique<PlayerGroups>());
        m_groups.back()->setTogether(&PictureHold::together);
    }
    return *m_groups.back();
}
