#pragma once

#include <fcntl.h>
#include <linux/input.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "IPedalDiscovery.h"
#include "IPedalNodes.h"

// A made-up device tree in memory: the nodes plugged in, with their ids and product name. Each
// node's data comes through a channel the test writes into: a socket that keeps report
// boundaries for hidraw (as hidraw hands out one report per read), a pipe for event nodes.
// Plugging and pulling out make the notice descriptor readable; changes() then tells what came
// and went since it last looked. Opening and taking a node are recorded in `calls` and can be
// refused with an errno value.
class FakeDeviceTree : public IPedalDiscovery, public IPedalNodes {
public:
    std::vector<std::string> calls;
    std::map<std::string, int> refuseOpen;  // node name -> errno
    std::map<std::string, int> refuseGrab;  // node name -> errno

    FakeDeviceTree() {
        if (pipe2(m_notice, O_NONBLOCK | O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
    }
    ~FakeDeviceTree() override {
        for (auto& [name, channel] : m_channels) {
            for (const int fd : {channel.reader, channel.writer})
                if (fd >= 0)
                    ::close(fd);
        }
        ::close(m_notice[0]);
        ::close(m_notice[1]);
    }

    // Adds a node with these ids; `subsystem` is "hidraw" or "input".
    void plug(const std::string& name, std::uint16_t vendor, std::uint16_t product,
              const std::string& subsystem, const std::string& productName = "FootPedal") {
        const bool hidraw = subsystem == "hidraw";
        m_plugged[name] = {hidraw ? PedalNode::Kind::Hidraw : PedalNode::Kind::Event,
                           "/dev/fake/" + name,
                           "/sys/fake/" + name,
                           vendor,
                           product,
                           productName};
        int ends[2];
        const int made = hidraw ? socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends)
                                : pipe2(ends, O_CLOEXEC);
        if (made != 0)
            throw std::runtime_error("no channel");
        fcntl(ends[0], F_SETFL, O_NONBLOCK);
        m_channels[name] = {ends[0], ends[1]};
        notice();
    }
    // The node goes from the tree; its channel stays as it is, as a pulled-out device's node
    // may still be open.
    void pullOut(const std::string& name) {
        m_plugged.erase(name);
        notice();
    }
    // The device stops answering: its node reads end-of-file.
    void cut(const std::string& name) {
        Channel& c = m_channels.at(name);
        ::close(c.writer);
        c.writer = -1;
    }
    // One hidraw report, as one read.
    void report(const std::string& name, std::vector<std::uint8_t> bytes) {
        send(name, bytes.data(), bytes.size());
    }
    // One input event, or only its bytes from `from` up to `to`.
    void event(const std::string& name, std::uint16_t type, std::uint16_t code, std::int32_t value,
               std::size_t from = 0, std::size_t to = sizeof(input_event)) {
        input_event e{};
        e.type = type;
        e.code = code;
        e.value = value;
        send(name, reinterpret_cast<std::uint8_t*>(&e) + from, to - from);
    }
    // A key going down or up, with the report's end, as the kernel sends it.
    void key(const std::string& name, std::uint16_t code, bool down) {
        event(name, EV_MSC, MSC_SCAN, 0x70004);
        event(name, EV_KEY, code, down ? 1 : 0);
        event(name, EV_SYN, SYN_REPORT, 0);
    }
    // Whether the node's descriptor handed out by open() is still open in the program.
    bool heldOpen(const std::string& name) const { return m_open.count(name) != 0; }

    // IPedalDiscovery
    std::vector<PedalNode> present() override {
        m_known = m_plugged;
        return nodes(m_known);
    }
    int changesFd() override { return m_notice[0]; }
    std::vector<PedalNodeChange> changes() override {
        char drain[64];
        while (::read(m_notice[0], drain, sizeof drain) > 0) {
        }
        std::vector<PedalNodeChange> out;
        for (const auto& [name, n] : m_known) {
            if (!m_plugged.count(name))
                out.push_back({false, {n.kind, n.devnode, n.syspath, 0, 0, {}}});
        }
        for (const auto& [name, n] : m_plugged) {
            if (!m_known.count(name))
                out.push_back({true, n});
        }
        m_known = m_plugged;
        return out;
    }

    // IPedalNodes
    int open(const PedalNode& node, int& error) override {
        const std::string name = nameOf(node);
        calls.push_back("open(" + name + ")");
        if (const auto it = refuseOpen.find(name); it != refuseOpen.end()) {
            error = it->second;
            return -1;
        }
        const int fd = dup(m_channels.at(name).reader);
        fcntl(fd, F_SETFL, O_NONBLOCK);
        m_open[name] = fd;
        error = 0;
        return fd;
    }
    int grab(int fd) override {
        const std::string name = nameOfFd(fd);
        calls.push_back("grab(" + name + ")");
        const auto it = refuseGrab.find(name);
        return it == refuseGrab.end() ? 0 : it->second;
    }
    void close(int fd) override {
        const std::string name = nameOfFd(fd);
        calls.push_back("close(" + name + ")");
        m_open.erase(name);
        ::close(fd);
    }

private:
    struct Channel {
        int reader = -1;
        int writer = -1;
    };
    static std::vector<PedalNode> nodes(const std::map<std::string, PedalNode>& tree) {
        std::vector<PedalNode> out;
        for (const auto& [name, node] : tree)
            out.push_back(node);
        return out;
    }
    static std::string nameOf(const PedalNode& node) {
        return node.devnode.substr(node.devnode.rfind('/') + 1);
    }
    std::string nameOfFd(int fd) const {
        for (const auto& [name, open] : m_open) {
            if (open == fd)
                return name;
        }
        return "?";
    }
    void send(const std::string& name, const void* data, std::size_t size) {
        if (::write(m_channels.at(name).writer, data, size) != static_cast<ssize_t>(size))
            throw std::runtime_error("the channel took less than was written");
    }
    void notice() {
        const char byte = 1;
        if (::write(m_notice[1], &byte, 1) != 1)
            throw std::runtime_error("notice not written");
    }

    int m_notice[2] = {-1, -1};
    std::map<std::string, Channel> m_channels;
    std::map<std::string, int> m_open;
    std::map<std::string, PedalNode> m_plugged;  // by node name, as the tree lists them
    std::map<std::string, PedalNode> m_known;    // as changes() last told them
};
