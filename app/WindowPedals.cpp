#include "WindowPedals.h"

#include <QSettings>

#include "PedalSettings.h"
#include "SettingsFile.h"
#include "frm1.h"

WindowPedals::WindowPedals(frm1& window, PedalControl::MiddleMode middle)
    : QObject(&window),
      m_transport(window),
      m_control(m_transport, m_leftTimer, m_rightTimer, middle),
      m_hub(m_discovery, m_nodes, m_watcher, m_log) {
    if (!m_discovery.usable())
        m_log.warning("libudev cannot be used; no foot pedal is read");
    m_hub.start([this](std::span<const PedalChange> changes) { m_control.handle(changes); });
}

void startPedals(frm1& window) {
    const QSettings settings(settingsFilePath(), QSettings::IniFormat);
    new WindowPedals(window, middlePedalMode(settings));
}
