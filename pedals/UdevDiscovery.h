#pragma once

#include <memory>

#include "IPedalDiscovery.h"

struct udev;
struct udev_monitor;

// The system's hidraw and input event nodes of USB devices, and their hot-plug notices, from
// libudev. Without a udev daemon the list still comes from sysfs; notices then never come.
class UdevDiscovery : public IPedalDiscovery {
public:
    UdevDiscovery();
    ~UdevDiscovery() override;

    std::vector<PedalNode> present() override;
    int changesFd() override;
    std::vector<PedalNodeChange> changes() override;

    // False when libudev could not be set up (logged by the caller through present()'s empty
    // list and this).
    bool usable() const { return m_udev != nullptr; }

private:
    udev* m_udev = nullptr;
    udev_monitor* m_monitor = nullptr;
};
