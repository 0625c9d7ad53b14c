#pragma once

#include <QObject>

#include "LinuxPedalNodes.h"
#include "PedalControl.h"
#include "PedalHub.h"
#include "PedalLogging.h"
#include "PedalTransport.h"
#include "QtFdWatcher.h"
#include "QtRepeatTimer.h"
#include "UdevDiscovery.h"

class frm1;

// The window's foot pedals: every known pedal present or plugged in later, steering the window
// through its hot-key entry. A child of the window, so both go together.
class WindowPedals : public QObject {
public:
    WindowPedals(frm1& window, PedalControl::MiddleMode middle);

private:
    QtPedalLog m_log;
    UdevDiscovery m_discovery;
    LinuxPedalNodes m_nodes;
    QtFdWatcher m_watcher;
    PedalTransport m_transport;
    QtRepeatTimer m_leftTimer;
    QtRepeatTimer m_rightTimer;
    PedalControl m_control;
    PedalHub m_hub;
};

// Reads the middle pedal's mode from the settings file and starts the window's pedals.
void startPedals(frm1& window);
