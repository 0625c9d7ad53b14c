#include "RegistryFixture.h"

namespace {

struct Row {
    std::int32_t wParam;
    std::uint32_t lParam;
    Press expected;
};

// "spielen" holds id -16384, "stop" id -16383; every other id is unknown.
class HotKeyMessage : public RegistryTest, public ::testing::WithParamInterface<Row> {};

TEST_P(HotKeyMessage, RaisesOnePressWithTheRowsArgumentsAndReturnsZero) {
    bindWith({"spielen", "stop"});
    EXPECT_EQ(press(GetParam().wParam, static_cast<std::int32_t>(GetParam().lParam)),
              std::vector<Press>{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(Rows, HotKeyMessage,
                         ::testing::Values(Row{-2, 0x00710002, {"Desktop Snapshot", 0, 44}},
                                           Row{-1, 0x00710002, {"Window Snapshot", 4, 44}},
                                           Row{-16383, 0x00720004, {"stop", 0, 113}},
                                           Row{-16382, 0x00710002, {"Unknown HotKey", 2, 113}},
                                           Row{5, 0xFFFF0000, {"Unknown HotKey", 0, -1}},
                                           Row{5, 0xFFFF0001, {"Unknown HotKey", 1, 0}},
                                           Row{0, 0xFFFEFFFF, {"Unknown HotKey", 0xFFFF, -1}}));

TEST_F(RegistryTest, SnapshotIdsWinOverAKeyWhoseAtomHasTheSameValue) {
    bindWith({});
    platform.forceNextAtom(0xFFFF);
    reg->RegisterKey("stop", 113, 0);
    EXPECT_EQ(log.calls.back(), "RegisterHotKey(7,-1,0,113)");
    EXPECT_EQ(press(-1), (std::vector<Press>{{"Window Snapshot", 4, 44}}));
}

TEST_F(RegistryTest, ArgumentsAreFixedBeforeAHandlerChangesTheTable) {
    bindWith({"stop"});
    reg->HotKeyPress.connect([this](const std::string&, auto, auto) { reg->Clear(); });
    reg->HotKeyPress.connect([this](const std::string& name, auto m, auto k) {
        presses.push_back({name, m, k});
    });
    EXPECT_EQ(press(-16384), (std::vector<Press>{{"stop", 0, 114}, {"stop", 0, 114}}));
}

TEST_F(RegistryTest, OtherMessagesAndDestroyRaiseNothingAndReturnZero) {
    bindWith({"stop"});
    EXPECT_EQ(reg->WindowProc(kWnd, 5, -2, 0), 0);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(reg->WindowProc(kWnd, WM_DESTROY, -16384, 0), 0);
    EXPECT_TRUE(presses.empty());
}

class Restore : public RegistryTest, public ::testing::WithParamInterface<bool> {};

TEST_P(Restore, SendsTheRestoreOnlyToAMinimisedWindow) {
    platform.minimised = GetParam();
    reg->RestoreAndActivate(kWnd);
    std::vector<std::string> expected{"IsIconic(7)"};
    if (GetParam())
        expected.push_back("SendRestore(7)");
    EXPECT_EQ(log.calls, expected);
}

INSTANTIATE_TEST_SUITE_P(Minimised, Restore, ::testing::Bool());

}  // namespace
