#include <functional>

#include "RegistryFixture.h"

namespace {

std::string repeated(const std::string& character, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += character;
    return text;
}

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
        Refusal{"UmlautNameOf33", repeated("\u00e4", 33), [](auto&) {}, -2147220453,
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

struct Accepted {
    const char* label;
    std::string name;
};

class RegisterKeyAccepted : public RegistryTest, public ::testing::WithParamInterface<Accepted> {};

TEST_P(RegisterKeyAccepted, PressRaisesTheNameWithItsKeyAndModifiers) {
    const std::string& name = GetParam().name;
    bindWith({"stop"});
    reg->RegisterKey(name, 112, 2);

    EXPECT_EQ(press(platform.registeredIds(kWnd).back()), (std::vector<Press>{{name, 2, 112}}));
    EXPECT_EQ(releaseAll(), (std::vector<std::string>{"stop", name}));
}

// Same tick as "stop": only the name keeps the atoms apart.
INSTANTIATE_TEST_SUITE_P(Names, RegisterKeyAccepted,
                         ::testing::Values(Accepted{"NameOf32", std::string(32, 'n')},
                                           Accepted{"UmlautNameOf32", repeated("\u00e4", 32)},
                                           Accepted{"Empty", ""}, Accepted{"OtherCase", "Stop"}),
                         [](const auto& p) { return std::string(p.param.label); });

struct AtomCase {
    const char* label;
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
    ::testing::Values(AtomCase{"Plain", "stop", "Pellucor", 123456, "stop_Pellucor_123456"},
                      AtomCase{"NegativeTick", "stop", "Pellucor", 0xFFFFFFFFu, "stop_Pellucor_-1"},
                      AtomCase{"CutTo254", std::string(32, 'n'), std::string(230, 'e'), 7,
                               std::string(32, 'n') + "_" + std::string(221, 'e')},
                      // Cut by bytes, the 254th byte would fall inside an accented letter.
                      AtomCase{"CutBetweenCharacters", repeated("\u00e4", 32),
                               repeated("\u00e9", 230), 7,
                               repeated("\u00e4", 32) + "_" + repeated("\u00e9", 221)}),
    [](const auto& p) { return std::string(p.param.label); });

}  // namespace
