#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeTurnClock.h"
#include "StartCoordinator.h"

namespace {

using namespace std::chrono_literals;

struct FakeStartMember : StartCoordinator::Member {
    FakeStartMember(std::string n, std::vector<std::string>& l) : name(std::move(n)), log(l) {}
    bool readyToStart() const override { return ready; }
    void startNow() override { log.push_back(name); }

    std::string name;
    std::vector<std::string>& log;
    bool ready = true;
};

class StartCoordinatorTest : public testing::Test {
protected:
    void nextTurn() { clock.nextTurn(); }

    FakeTurnClock clock;
    std::vector<std::string> started;
    StartCoordinator coordinator{200ms, &clock};
    FakeStartMember p1{"p1", started};
    FakeStartMember p2{"p2", started};
};

TEST_F(StartCoordinatorTest, StartsAGroupInTheNextTurnInRequestOrder) {
    coordinator.requestStart(&p1);
    coordinator.requestStart(&p2);
    coordinator.requestStart(&p1);
    EXPECT_TRUE(started.empty());
    nextTurn();
    EXPECT_EQ(started, (std::vector<std::string>{"p1", "p2"}));
}

TEST_F(StartCoordinatorTest, WaitsForTheLastSeekingMember) {
    p2.ready = false;
    coordinator.requestStart(&p1);
    coordinator.requestStart(&p2);
    nextTurn();
    coordinator.memberReady();
    EXPECT_TRUE(started.empty());
    p2.ready = true;
    coordinator.memberReady();
    EXPECT_EQ(started, (std::vector<std::string>{"p1", "p2"}));
}

TEST_F(StartCoordinatorTest, WithdrawnMemberNeitherStartsNorHoldsOthersBack) {
    FakeStartMember p3{"p3", started};
    coordinator.requestStart(&p3);
    coordinator.withdraw(&p3);  // in the same turn
    p1.ready = false;
    coordinator.requestStart(&p1);
    coordinator.requestStart(&p2);
    nextTurn();
    coordinator.withdraw(&p1);  // while the group waits
    EXPECT_EQ(started, (std::vector<std::string>{"p2"}));
}

TEST_F(StartCoordinatorTest, StartsAnywayWhenASeekNeverFinishes) {
    p2.ready = false;
    coordinator.requestStart(&p1);
    coordinator.requestStart(&p2);
    nextTurn();
    clock.advance(199ms);
    EXPECT_TRUE(started.empty());
    clock.advance(1ms);
    EXPECT_EQ(started, (std::vector<std::string>{"p1", "p2"}));
}

TEST_F(StartCoordinatorTest, ALaterTurnJoinsTheWaitingGroup) {
    p1.ready = false;
    coordinator.requestStart(&p1);
    nextTurn();
    coordinator.requestStart(&p2);
    nextTurn();
    EXPECT_TRUE(started.empty());
    p1.ready = true;
    coordinator.memberReady();
    EXPECT_EQ(started, (std::vector<std::string>{"p1", "p2"}));
}

}  // namespace
