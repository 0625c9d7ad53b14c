#include "UdevDiscovery.h"

#include <libudev.h>

#include <charconv>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

std::uint16_t hexId(const char* text) {
    std::uint16_t value = 0;
    if (text)
        std::from_chars(text, text + std::strlen(text), value, 16);
    return value;
}

// The node's kind, or nothing for nodes no pedal is read through (input0, mouse0, js0).
std::optional<PedalNode::Kind> kindOf(udev_device* dev) {
    const char* subsystem = udev_device_get_subsystem(dev);
    const char* sysname = udev_device_get_sysname(dev);
    if (!subsystem || !sysname)
        return std::nullopt;
    if (std::string_view(subsystem) == "hidraw")
        return PedalNode::Kind::Hidraw;
    if (std::string_view(subsystem) == "input" && std::string_view(sysname).starts_with("event"))
        return PedalNode::Kind::Event;
    return std::nullopt;
}

std::string textOf(const char* text) {
    return text ? text : "";
}

// Fills in the USB ids from the USB device above the node; false for nodes of other buses.
bool describe(udev_device* dev, PedalNode& node) {
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
    if (!usb)
        return false;
    node.vendor = hexId(udev_device_get_sysattr_value(usb, "idVendor"));
    node.product = hexId(udev_device_get_sysattr_value(usb, "idProduct"));
    node.name = textOf(udev_device_get_sysattr_value(usb, "product"));
    return true;
}

}  // namespace

UdevDiscovery::UdevDiscovery() : m_udev(udev_new()) {
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor)
        return;
    udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr);
    udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "input", nullptr);
    if (udev_monitor_enable_receiving(m_monitor) < 0) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
}

UdevDiscovery::~UdevDiscovery() {
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

std::vector<PedalNode> UdevDiscovery::present() {
    std::vector<PedalNode> nodes;
    if (!m_udev)
        return nodes;
    udev_enumerate* list = udev_enumerate_new(m_udev);
    if (!list)
        return nodes;
    udev_enumerate_add_match_subsystem(list, "hidraw");
    udev_enumerate_add_match_subsystem(list, "input");
    udev_enumerate_scan_devices(list);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list)) {
        udev_device* dev = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
        if (!dev)
            continue;
        const auto kind = kindOf(dev);
        const char* devnode = udev_device_get_devnode(dev);
        PedalNode node;
        if (kind && devnode && describe(dev, node)) {
            node.kind = *kind;
            node.devnode = devnode;
            node.syspath = textOf(udev_device_get_syspath(dev));
            nodes.push_back(std::move(node));
        }
        udev_device_unref(dev);
    }
    udev_enumerate_unref(list);
    return nodes;
}

int UdevDiscovery::changesFd() {
    return m_monitor ? udev_monitor_get_fd(m_monitor) : -1;
}

std::vector<PedalNodeChange> UdevDiscovery::changes() {
    std::vector<PedalNodeChange> changes;
    if (!m_monitor)
        return changes;
    while (udev_device* dev = udev_monitor_receive_device(m_monitor)) {
        const std::string action = textOf(udev_device_get_action(dev));
        const auto kind = kindOf(dev);
        PedalNodeChange change;
        change.node.devnode = textOf(udev_device_get_devnode(dev));
        change.node.syspath = textOf(udev_device_get_syspath(dev));
        if (kind && action == "add" && describe(dev, change.node)) {
            change.added = true;
            change.node.kind = *kind;
            changes.push_back(std::move(change));
        } else if (kind && action == "remove") {
            changes.push_back(std::move(change));
        }
        udev_device_unref(dev);
    }
    return changes;
}
