#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>
#include <tuple>

#include "PedalModels.h"

// The package's udev rule opens exactly the nodes the program reads: hidraw for HID pedals,
// event nodes for keyboard-style ones.

namespace {

using Grant = std::tuple<std::string, std::string>;  // subsystem, "vvvv:pppp"

TEST(PedalRule, GrantsExactlyTheNodesOfTheKnownPedals) {
    std::ifstream file(PEDAL_RULES);
    ASSERT_TRUE(file) << PEDAL_RULES;
    const std::regex rule(
        R"re(SUBSYSTEM=="(\w+)".*ATTRS\{idVendor\}=="([0-9a-f]{4})", ATTRS\{idProduct\}=="([0-9a-f]{4})")re");
    std::multiset<Grant> granted;
    for (std::string line; std::getline(file, line);) {
        std::smatch m;
        if (line.starts_with('#') || !std::regex_search(line, m, rule))
            continue;
        granted.insert({m[1], m[2].str() + ":" + m[3].str()});
    }
    std::multiset<Grant> read;
    for (const PedalModel& p : pedalModels())
        read.insert({readsHidraw(p.family) ? "hidraw" : "input", usbIdText(p.vendor, p.product)});
    EXPECT_EQ(granted, read);
}

}  // namespace
