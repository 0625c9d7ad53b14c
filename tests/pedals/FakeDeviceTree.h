#pragma once

#include <fcntl.h>
#include <linux/input.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "IPedalDiscovery.h"
#include "IPedalNodes.h"

// A made-up device tree: one folder per node, sysfs-like, with the files subsystem, idVendor,
// idProduct and product. Each node's data comes through a channel the test writes into: a
// socket that keeps report boundaries for hidraw (as hidraw hands out one report per read), a
// pipe for event nodes. Plugging and pulling out after start() makes the notice descriptor
// readable; changes() then reads the folders again. Opening and taking a node are recorded in
// `calls` and can be refused with an errno value.
class FakeDeviceTree : public IPedalDiscovery, public IPedalNodes {
public:
    std::vector<std::string> calls;
    std::map<std::string, int> refuseOpen;  // node name -> errno
    std::map<std::string, int> refuseGrab;  // node name -> errno

    FakeDeviceTree() {
        char pattern[] = "/tmp/pedal-tree-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("no temporary folder");
        m_root = pattern;
        if (pipe2(m_notice, O_NONBLOCK | O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
    }
    ~FakeDeviceTree() override {
        for (auto& [name, channel] : m_channels)
            closeChannel(channel);
        ::close(m_notice[0]);
        ::close(m_notice[1]);
        std::filesystem::remove_all(m_root);
    }

    // Adds a node with these ids; `kind` is "hidraw" or "input".
    void plug(const std::string& name, std::uint16_t vendor, std::uint16_t product,
              const std::string& subsystem, const std::string& productName = "FootPedal") {
        const std::filesystem::path dir = m_root / name;
        std::filesystem::create_directory(dir);
        write(dir / "subsystem", subsystem);
        write(dir / "idVendor", hex(vendor));
        write(dir / "idProduct", hex(product));
        write(dir / "product", productName);
        int ends[2];
        const bool hidraw = subsystem == "hidraw";
        const int made = hidraw ? socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends)
                                : pipe2(ends, O_CLOEXEC);
        if (made != 0)
            throw std::runtime_error("no channel");
        fcntl(ends[0], F_SETFL, O_NONBLOCK);
        m_channels[name] = {ends[0], ends[1]};
        notice();
    }
    // Removes the node's folder; its channel stays as it is, as a pulled-out device's node
    // may still be open.
    void pullOut(const std::string& name) {
        std::filesystem::remove_all(m_root / name);
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
        m_known = scan();
        return {m_known.begin(), m_known.end()};
    }
    int changesFd() override { return m_notice[0]; }
    std::vector<PedalNodeChange> changes() override {
        char drain[64];
        while (::read(m_notice[0], drain, sizeof drain) > 0) {
        }
        const std::set<PedalNode, BySyspath> now = scan();
        std::vector<PedalNodeChange> out;
        for (const PedalNode& n : m_known) {
            if (!now.count(n))
                out.push_back({false, {n.kind, n.devnode, n.syspath, 0, 0, {}}});
        }
        for (const PedalNode& n : now) {
            if (!m_known.count(n))
                out.push_back({true, n});
        }
        m_known = now;
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
    struct BySyspath {
        bool operator()(const PedalNode& a, const PedalNode& b) const {
            return a.syspath < b.syspath;
        }
    };

    static void write(const std::filesystem::path& file, const std::string& text) {
        std::ofstream(file) << text << '\n';
    }
    static std::string read(const std::filesystem::path& file) {
        std::string text;
        std::getline(std::ifstream(file), text);
        return text;
    }
    static std::string hex(std::uint16_t value) {
        char text[8];
        std::snprintf(text, sizeof text, "%04x", value);
        return text;
    }
    static void closeChannel(Channel& c) {
        if (c.reader >= 0)
            ::close(c.reader);
        if (c.writer >= 0)
            ::close(c.writer);
    }
    std::set<PedalNode, BySyspath> scan() const {
        std::set<PedalNode, BySyspath> nodes;
        for (const auto& entry : std::filesystem::directory_iterator(m_root)) {
            const auto& dir = entry.path();
            PedalNode n;
            n.kind = read(dir / "subsystem") == "hidraw" ? PedalNode::Kind::Hidraw
                                                         : PedalNode::Kind::Event;
            n.devnode = "/dev/fake/" + dir.filename().string();
            n.syspath = dir.string();
            n.vendor = static_cast<std::uint16_t>(std::stoul(read(dir / "idVendor"), nullptr, 16));
            n.product =
                static_cast<std::uint16_t>(std::stoul(read(dir / "idProduct"), nullptr, 16));
            n.name = read(dir / "product");
            nodes.insert(n);
        }
        return nodes;
    }
    static std::string nameOf(const PedalNode& node) {
        return std::filesystem::path(node.devnode).filename().string();
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

    std::filesystem::path m_root;
    int m_notice[2] = {-1, -1};
    std::map<std::string, Channel> m_channels;
    std::map<std::string, int> m_open;
    std::set<PedalNode, BySyspath> m_known;
};
