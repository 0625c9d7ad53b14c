#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "FakeTurnClock.h"
#include "NamedCases.h"
#include "PictureGate.h"

namespace {

using namespace std::chrono_literals;
using Log = std::vector<std::string>;

struct FakePictureMember : PictureGate::Member {
    FakePictureMember(std::string n, Log& l) : name(std::move(n)), log(l) {}
    bool seeking() const override { return seekingNow; }
    std::chrono::milliseconds pictureDelay() const override { return delay; }
    void holdPicture() override { log.push_back("hold " + name); }
    void releasePicture() override { log.push_back("release " + name); }

    std::string name;
    Log& log;
    bool seekingNow = true;
    std::chrono::milliseconds delay{0};
};

// The gate's releases of one group are bracketed, so a test sees which went out together.
class PictureGateTest : public testing::Test {
protected:
    PictureGateTest() {
        gate.setTogether([this](const std::function<void()>& releases) {
            log.push_back("[");
            releases();
            log.push_back("]");
        });
    }
    void nextTurn() { clock.nextTurn(); }
    void land(FakePictureMember& m) {
        m.seekingNow = false;
        gate.memberLanded();
    }

    FakeTurnClock clock;
    Log log;
    FakePictureMember p1{"p1", log};
    FakePictureMember p2{"p2", log};
    PictureGate gate{300ms, 20ms, &clock};  // goes first: it releases whoever it still holds
};

struct Release {
    const char* name;
    bool p2InALaterTurn;  // else in player 1's turn
    std::chrono::milliseconds p2Delay;
    std::optional<std::chrono::milliseconds> p2Lands;  // after player 1; nothing: never
    std::chrono::milliseconds released;                // after player 1 landed
};

class PicturesReleased : public PictureGateTest, public testing::WithParamInterface<Release> {};

TEST_P(PicturesReleased, TogetherOnceTheLastLandedAndItsPictureIsOnScreen) {
    const Release& r = GetParam();
    p2.delay = r.p2Delay;
    gate.seekBegins(&p1);
    if (r.p2InALaterTurn)
        nextTurn();
    gate.seekBegins(&p2);
    gate.seekBegins(&p1);  // pinned, aligned, moved: held once
    nextTurn();
    land(p1);
    if (r.p2Lands) {
        clock.advance(*r.p2Lands);
        land(p2);
    }
    clock.advance(r.released - r.p2Lands.value_or(0ms) - 1ms);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2"}));
    clock.advance(1ms);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p1", "release p2", "]"}));
}

INSTANTIATE_TEST_SUITE_P(
    , PicturesReleased,
    testing::Values(Release{"SeekingInOneTurn", false, 0ms, 60ms, 80ms},
                    Release{"ALaterTurnJoinsTheGroupStillWaiting", true, 0ms, 60ms, 80ms},
                    Release{"WhenTheSlowestPictureIsOnScreen", false, 150ms, 0ms, 170ms},
                    Release{"AnywayWhenASeekNeverLands", false, 0ms, std::nullopt, 300ms}),
    byName);

TEST_F(PictureGateTest, ASecondSeekWhileTheGroupWaitsIsWaitedForToo) {
    gate.seekBegins(&p1);
    gate.seekBegins(&p2);
    nextTurn();
    land(p2);
    gate.seekBegins(&p2);
    p2.seekingNow = true;
    land(p1);
    clock.advance(60ms);
    EXPECT_EQ(log.size(), 2u);
    land(p2);
    clock.advance(20ms);
    EXPECT_EQ(log.size(), 6u);
}

TEST_F(PictureGateTest, EachCommandOfAHeldKeyShowsWhatTheLastOneLandedOn) {
    p1.delay = 200ms;
    gate.seekBegins(&p1);
    gate.seekBegins(&p2);
    nextTurn();
    land(p1);
    land(p2);
    for (FakePictureMember* p : {&p1, &p2}) {  // a player tells the gate before it seeks
        gate.seekBegins(p);
        p->seekingNow = true;
    }
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p1", "release p2", "]", "hold p1",
                        "hold p2"}));
}

TEST_F(PictureGateTest, AWithdrawnPlayerIsReleasedAtOnceAndHoldsNoOneBack) {
    gate.seekBegins(&p1);
    gate.seekBegins(&p2);
    nextTurn();
    land(p1);
    gate.withdraw(&p2);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p2", "]"}));
    clock.advance(20ms);
    EXPECT_EQ(log, (Log{"hold p1", "hold p2", "[", "release p2", "]", "[", "release p1", "]"}));
}

TEST_F(PictureGateTest, NoPictureStaysHeldWhenTheGateGoes) {
    {
        PictureGate shortLived{300ms, 20ms, &clock};
        shortLived.seekBegins(&p1);
        nextTurn();
    }
    EXPECT_EQ(log, (Log{"hold p1", "release p1"}));
}

}  // namespace
