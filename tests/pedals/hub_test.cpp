#include <linux/input-event-codes.h>

#include <cerrno>

#include "HubFixture.h"

// The pedals present and plugged in, and what they tell, on a made-up device tree.

namespace {

class Discovery : public HubFixture {};

// HID pedals are read through hidraw, keyboard-style ones through their event nodes, which are
// taken for the program; other devices and other nodes are left alone.
TEST_F(Discovery, OpensTheKnownPedalsThroughTheirNodesOnly) {
    plugVec("hidraw0");
    tree.plug("event0", kVec[0], kVec[1], "input");
    plugPCsensor("event1");
    tree.plug("hidraw1", kPCsensor[0], kPCsensor[1], "hidraw");
    tree.plug("hidraw2", 0x046d, 0xc52b, "hidraw", "USB Receiver");
    start();
    EXPECT_EQ(tree.calls, (Told{"open(event1)", "grab(event1)", "open(hidraw0)"}));
    ASSERT_EQ(hub.found().size(), 2u);
    for (const PedalHub::Found& f : hub.found())
        EXPECT_TRUE(f.readable) << f.node.devnode;
}

TEST_F(Discovery, APedalItMayNotReadIsNamedWithTheRuleOnce) {
    plugVec("hidraw0");
    tree.refuseOpen["hidraw0"] = EACCES;
    start();
    settle();
    EXPECT_EQ(log.count("warning: ", "VEC", "05f3:00ff", "/dev/fake/hidraw0",
                        "/usr/lib/udev/rules.d/70-pellucor-pedals.rules"),
              1);
    EXPECT_EQ(log.lines.size(), 1u);
    ASSERT_EQ(hub.found().size(), 1u);
    EXPECT_FALSE(hub.found()[0].readable);
}

// A keyboard pedal whose keys would still reach the word processor is not read.
TEST_F(Discovery, AKeyboardPedalThatCannotBeTakenIsLetGo) {
    plugPCsensor("event1");
    tree.refuseGrab["event1"] = EBUSY;
    start();
    EXPECT_EQ(tree.calls, (Told{"open(event1)", "grab(event1)", "close(event1)"}));
    EXPECT_EQ(log.count("warning: ", "0c45:7403", "another program"), 1);
    EXPECT_FALSE(hub.found()[0].readable);
}

class HotPlug : public HubFixture {};

// Pulled out while held, a pedal lets go: a held middle pedal pauses rather than plays on.
TEST_F(HotPlug, APedalPulledOutLetsGoOfWhatItHeldAndIsForgotten) {
    plugVec("hidraw0");
    start();
    tree.report("hidraw0", {0x02});
    settle();
    tree.pullOut("hidraw0");
    settle();
    EXPECT_EQ(takeTold(), (Told{"middle+", "middle-"}));
    EXPECT_FALSE(tree.heldOpen("hidraw0"));
    EXPECT_TRUE(hub.found().empty());
    EXPECT_EQ(log.count("info: ", "pulled out"), 1);
}

// A device that stops answering (its node ends or fails) is logged and forgotten; plugged in
// again, it is read again.
TEST_F(HotPlug, AVanishingPedalIsForgottenAndComesBack) {
    plugPCsensor("event1");
    start();
    tree.key("event1", KEY_A, true);
    tree.cut("event1");
    settle();
    EXPECT_EQ(takeTold(), (Told{"left+", "left-"}));
    EXPECT_EQ(log.count("info: ", "/dev/fake/event1", "gone"), 1);
    EXPECT_FALSE(tree.heldOpen("event1"));
    tree.pullOut("event1");
    plugPCsensor("event2");
    settle();
    tree.key("event2", KEY_C, true);
    settle();
    EXPECT_EQ(takeTold(), Told{"right+"});
}

class Reports : public HubFixture {};

TEST_F(Reports, OnlyChangesAreTold) {
    tree.plug("hidraw0", kOlympus[0], kOlympus[1], "hidraw");
    start();
    for (const int r : {0x04, 0x04, 0x06, 0x06, 0x02, 0x00, 0x00})
        tree.report("hidraw0", {static_cast<std::uint8_t>(r)});
    settle();
    EXPECT_EQ(takeTold(), (Told{"middle+", "right+", "middle-", "right-"}));
}

// A read that ends inside an input event keeps its start for the rest.
TEST_F(Reports, AnEventSplitAcrossReadsCountsOnce) {
    plugPCsensor("event1");
    start();
    tree.event("event1", EV_KEY, KEY_B, 1, 0, 10);
    settle();
    EXPECT_TRUE(told.empty());
    tree.event("event1", EV_KEY, KEY_B, 1, 10);
    tree.event("event1", EV_SYN, SYN_REPORT, 0);
    settle();
    EXPECT_EQ(takeTold(), Told{"middle+"});
}

TEST_F(Reports, KeyRepeatChangesNothing) {
    plugPCsensor("event1");
    start();
    tree.key("event1", KEY_B, true);
    tree.event("event1", EV_KEY, KEY_B, 2);
    tree.event("event1", EV_KEY, KEY_B, 2);
    tree.key("event1", KEY_B, false);
    settle();
    EXPECT_EQ(takeTold(), (Told{"middle+", "middle-"}));
}

TEST_F(Reports, AnUnknownReportIsIgnoredAndSaidOnce) {
    plugVec("hidraw0");
    plugPCsensor("event1");
    start();
    for (int i = 0; i < 3; ++i) {
        tree.report("hidraw0", {0x80});
        tree.key("event1", KEY_Z, true);
    }
    tree.report("hidraw0", {0x01});
    settle();
    EXPECT_EQ(takeTold(), Told{"left+"});
    EXPECT_EQ(log.count("warning: ", "/dev/fake/hidraw0", "128"), 1);
    EXPECT_EQ(log.count("warning: ", "/dev/fake/event1", "key code 44"), 1);
}

// With two pedals, a role is down while either holds it.
TEST_F(Reports, TwoPedalsAtOnceCombine) {
    plugVec("hidraw0");
    plugPCsensor("event1");
    start();
    tree.report("hidraw0", {0x02});
    settle();
    tree.key("event1", KEY_B, true);
    tree.key("event1", KEY_A, true);
    settle();
    tree.report("hidraw0", {0x04});
    settle();
    tree.key("event1", KEY_B, false);
    settle();
    EXPECT_EQ(takeTold(), (Told{"middle+", "left+", "right+", "middle-"}));
}

}  // namespace
