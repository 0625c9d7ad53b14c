#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <optional>

#include "ExecutableName.h"
#include "KeyMap.h"

namespace {

struct KeyCase {
    std::int32_t virtualKey;
    std::optional<std::uint32_t> keysym;
};

class VirtualKeyToKeysym : public testing::TestWithParam<KeyCase> {};

TEST_P(VirtualKeyToKeysym, Maps) {
    EXPECT_EQ(keysymForVirtualKey(GetParam().virtualKey), GetParam().keysym)
        << "virtual key " << GetParam().virtualKey;
}

// Range ends and their neighbours, where an off-by-one would show.
INSTANTIATE_TEST_SUITE_P(
    Keys, VirtualKeyToKeysym,
    testing::Values(KeyCase{112, XK_F1}, KeyCase{113, XK_F2}, KeyCase{114, XK_F3},
                    KeyCase{135, XK_F24}, KeyCase{136, std::nullopt}, KeyCase{65, XK_a},
                    KeyCase{90, XK_z}, KeyCase{91, std::nullopt}, KeyCase{64, std::nullopt},
                    KeyCase{48, XK_0}, KeyCase{57, XK_9}, KeyCase{58, std::nullopt},
                    KeyCase{96, XK_KP_0}, KeyCase{105, XK_KP_9}, KeyCase{107, XK_KP_Add},
                    KeyCase{111, XK_KP_Divide}, KeyCase{32, XK_space}, KeyCase{13, XK_Return},
                    KeyCase{27, XK_Escape}, KeyCase{9, XK_Tab}, KeyCase{8, XK_BackSpace},
                    KeyCase{45, XK_Insert}, KeyCase{46, XK_Delete}, KeyCase{36, XK_Home},
                    KeyCase{35, XK_End}, KeyCase{33, XK_Page_Up}, KeyCase{34, XK_Page_Down},
                    KeyCase{37, XK_Left}, KeyCase{38, XK_Up}, KeyCase{39, XK_Right},
                    KeyCase{40, XK_Down}, KeyCase{44, XK_Print}, KeyCase{19, XK_Pause},
                    KeyCase{0, std::nullopt}, KeyCase{-1, std::nullopt},
                    KeyCase{0x10072, std::nullopt}));

struct PathCase {
    const char* path;
    const char* name;
};

class ExecutableNameFromPath : public testing::TestWithParam<PathCase> {};

TEST_P(ExecutableNameFromPath, DropsFolderAndExtension) {
    EXPECT_EQ(fileNameWithoutExtension(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, ExecutableNameFromPath,
                         testing::Values(PathCase{"/usr/bin/Pellucor", "Pellucor"},
                                         PathCase{"/opt/p.d/Pellucor.bin", "Pellucor"},
                                         PathCase{"/x/a.b.c", "a.b"},
                                         PathCase{"/x/.hidden", ".hidden"},
                                         PathCase{"Pellucor", "Pellucor"}));

TEST(ExecutableName, NamesTheRunningTest) {
    EXPECT_EQ(runningExecutableName(), "x11_unit_tests");
}

}  // namespace
