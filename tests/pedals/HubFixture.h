#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeDeviceTree.h"
#include "PedalHub.h"
#include "PollWatcher.h"
#include "RecordingPedalLog.h"

// A hub on a made-up device tree, on the given event loop (PollWatcher: one the test polls). What
// it tells is kept as "left+", "middle-", ...
template <typename Loop>
class BasicHubFixture : public ::testing::Test {
protected:
    FakeDeviceTree tree;
    Loop loop;
    RecordingPedalLog log;
    PedalHub hub{tree, tree, loop, log};
    std::vector<std::string> told;

    void start() {
        hub.start([this](std::span<const PedalChange> changes) {
            for (const PedalChange& c : changes)
                told.push_back(std::string(roleName(c.role)) + (c.pressed ? "+" : "-"));
        });
    }
    // Lets the hub read everything that has come.
    void settle() { loop.runUntilIdle(); }
    std::vector<std::string> takeTold() { return std::exchange(told, {}); }

    static constexpr std::uint16_t kVec[2] = {0x05f3, 0x00ff};
    static constexpr std::uint16_t kPCsensor[2] = {0x0c45, 0x7403};
    static constexpr std::uint16_t kOlympus[2] = {0x07b4, 0x0218};
    void plugVec(const std::string& name) { tree.plug(name, kVec[0], kVec[1], "hidraw"); }
    void plugPCsensor(const std::string& name) {
        tree.plug(name, kPCsensor[0], kPCsensor[1], "input");
    }
};

using HubFixture = BasicHubFixture<PollWatcher>;
using Told = std::vector<std::string>;
