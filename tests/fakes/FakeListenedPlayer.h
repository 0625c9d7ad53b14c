#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "IListenedPlayer.h"

// A player as its listener sees it. What the listener asks it to do is logged with its name
// ("start p1", "hold p1", "release p1"); what it answers is set by the test.
struct FakeListenedPlayer : IListenedPlayer {
    using Log = std::vector<std::string>;

    FakeListenedPlayer(std::string n, Log& l) : name(std::move(n)), log(l) {}
    bool readyToStart() const override { return ready; }
    void startNow() override { log.push_back("start " + name); }
    bool seeking() const override { return seekingNow; }
    std::chrono::milliseconds pictureDelay() const override { return delay; }
    void holdPicture() override { log.push_back("hold " + name); }
    void releasePicture() override { log.push_back("release " + name); }

    std::string name;
    Log& log;
    bool ready = true;
    bool seekingNow = true;
    std::chrono::milliseconds delay{0};
};
