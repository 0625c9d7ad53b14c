#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <optional>

#include "ExecutableName.h"
#include "KeyMap.h"
#include "NamedCases.h"

namespace {

struct KeyCase {
    std::int32_t virtualKey;
    std::optional<std::uint32_t> keysym;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
    *os << "virtual key " << c.virtualKey;
}

class VirtualKeyToKeysym : public testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyToKeysym, Maps) {
    EXPECT_EQ(keysymForVirtualKey(GetParam().virtualKey), GetParam().keysym);
}

// Range ends and their neighbours, where an off-by-one would show.
INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeyToKeysym,
    testing::Values(KeyCase{112, XK_F1}, KeyCase{114, XK_F3}, KeyCase{135, XK_F24},
                    KeyCase{136, std::nullopt}, KeyCase{64, std::nullopt}, KeyCase{65, XK_a},
                    KeyCase{90, XK_z}, KeyCase{91, std::nullopt}, KeyCase{48, XK_0},
                    KeyCase{57, XK_9}, KeyCase{58, std::nullopt}, KeyCase{96, XK_KP_0},
                    KeyCase{105, XK_KP_9}, KeyCase{32, XK_space}, KeyCase{33, XK_Page_Up},
                    KeyCase{40, XK_Down}, KeyCase{44, XK_Print}, KeyCase{0, std::nullopt},
                    KeyCase{-1, std::nullopt}, KeyCase{0x10072, std::nullopt}),
    [](const auto& p) {
        const std::int32_t key = p.param.virtualKey;
        return (key < 0 ? "MinusKey" : "Key") + std::to_string(key < 0 ? -key : key);
    });

struct PathCase {
    const char* name;  // of the case
    const char* path;
    const char* executable;
};

class ExecutableNameFromPath : public testing::TestWithParam<PathCase> {};

TEST_P(ExecutableNameFromPath, DropsFolderAndExtension) {
    EXPECT_EQ(fileNameWithoutExtension(GetParam().path), GetParam().executable);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExecutableNameFromPath,
                         testing::Values(PathCase{"InAFolder", "/usr/bin/Pellucor", "Pellucor"},
                                         PathCase{"WithExtension", "/opt/p.d/Pellucor.bin",
                                                  "Pellucor"},
                                         PathCase{"Hidden", "/x/.hidden", ".hidden"},
                                         PathCase{"NoFolder", "Pellucor", "Pellucor"}),
                         byName);

TEST(ExecutableName, NamesTheRunningTest) {
    EXPECT_EQ(runningExecutableName(), "x11_unit_tests");
}

}  // namespace
