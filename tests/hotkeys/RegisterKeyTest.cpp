#include <functional>

#include "RegistryFixture.h"

namespace {

struct Refusal {
    const char* label;
    std::string name;
    std::function<void(FakeHotKeyPlatform&)> arrange;
    std::int32_t number;
    std::string description;
};

class RegisterKeyRefused : public RegistryTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RegisterKeyRefused, RaisesItsErrorAndLeavesTableAndAtomsAsTheyWere) {
    bindWith({"spielen", "stop"});
    const auto atomsBefore = platform.aliveAtoms();
    GetParam().arrange(platform);

    expectError([&] { reg->RegisterKey(GetParam().name, 112, 0); }, GetParam().number,
                GetParam().description);
    EXPECT_EQ(platform.aliveAtoms(), atomsBefore);
    EXPECT_EQ(releaseAll(), (std::vector<std::string>{"spielen", "stop"}));
}

const std::string kLongText(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    EachFailingStep, RegisterKeyRefused,
    ::testing::Values(
        Refusal{"NameOf33", std::string(33, 'n'), [](auto&) {}, -2147220453,
                "Key Name too long (max 32 characters)."},
        Refusal{"SameName", "stop", [](auto&) {}, -2147220452,
                "The Key Name 'stop' is already registered."},
        Refusal{"AtomRefusedWithoutText", "zurueck", [](auto& p) { p.refuse("GlobalAddAtom", 8); },
                -2147220454, "Failed to add GlobalAtom"},
        Refusal{"KeyHeldElsewhere", "zurueck",
                [](auto& p) {
                    p.holdElsewhere(0, 112);
                    p.errorTexts[1409] = "Hot key is already registered.\r\n";
                },
                -2147220453, "Failed to Register Hot Key [Hot key is already registered.\r\n]"},
        Refusal{"KeyRefusedWithLongText", "zurueck",
                [](auto& p) {
                    p.refuse("RegisterHotKey", 5);
                    p.errorTexts[5] = kLongText;
                },
                -2147220453, "Failed to Register Hot Key [" + kLongText.substr(0, 256) + "]"}),
    [](const auto& p) { return std::string(p.param.label); });

class RegisterKeyAccepted : public RegistryTest,
                            public ::testing::WithParamInterface<std::string> {};

TEST_P(RegisterKeyAccepted, PressRaisesTheNameWithItsKeyAndModifiers) {
    bindWith({"stop"});
    reg->RegisterKey(GetParam(), 112, 2);

    EXPECT_EQ(press(platform.registeredIds(kWnd).back()),
              (std::vector<Press>{{GetParam(), 2, 112}}));
    EXPECT_EQ(releaseAll(), (std::vector<std::string>{"stop", GetParam()}));
}

// Same tick as "stop": only the name keeps the atoms apart.
INSTANTIATE_TEST_SUITE_P(Names, RegisterKeyAccepted,
                         ::testing::Values(std::string(32, 'n'), "", "Stop"));

struct AtomCase {
    std::string name;
    std::string executable;
    std::uint32_t tick;
    std::string atomString;
};

class AtomString : public RegistryTest, public ::testing::WithParamInterface<AtomCase> {};

TEST_P(AtomString, IsNameExecutableSignedTickCutTo254AndItsAtomIsTheSignedId) {
    platform.executableName = GetParam().executable;
    platform.tickCount = GetParam().tick;
    bindWith({});
    reg->RegisterKey(GetParam().name, 113, 0);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"GetTickCount", "ExecutableName",
                                                   "GlobalAddAtom(" + GetParam().atomString + ")",
                                                   "RegisterHotKey(7,-16384,0,113)"}));
}

INSTANTIATE_TEST_SUITE_P(
    Ticks, AtomString,
    ::testing::Values(AtomCase{"stop", "Pellucor", 123456, "stop_Pellucor_123456"},
                      AtomCase{"stop", "Pellucor", 0xFFFFFFFFu, "stop_Pellucor_-1"},
                      AtomCase{std::string(32, 'n'), std::string(230, 'e'), 7,
                               std::string(32, 'n') + "_" + std::string(221, 'e')}));

}  // namespace
