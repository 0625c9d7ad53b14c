// Through PipeWire, the thread of each player that hands the graph its sound runs in real time
// where the system lets this process have it. At the normal priority a busy machine made one
// player now and then miss a graph cycle, and it was heard a cycle behind the other until the
// follower caught up.
#include <gtest/gtest.h>

#include <pthread.h>
#include <sched.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "HeardClicks.h"
#include "QtSupport.h"
#include "RealWindow.h"
#include "SoundServer.h"

namespace {

bool mayRunInRealTime() {
    bool allowed = false;
    std::thread probe([&] {
        sched_param param{};
        param.sched_priority = 1;
        allowed = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
    });
    probe.join();
    return allowed;
}

// The threads of this process that run in real time, from each one's stat (its policy is the
// 41st field; the name, the 2nd, is in parentheses and may hold spaces).
int realTimeThreads() {
    int count = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream in(task.path() / "stat");
        const std::string stat{std::istreambuf_iterator<char>(in), {}};
        const auto nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos)
            continue;
        std::istringstream rest(stat.substr(nameEnd + 1));
        const std::vector<std::string> fields{std::istream_iterator<std::string>(rest), {}};
        constexpr std::size_t kPolicy = 41 - 3;  // the fields after the name start with the 3rd
        if (fields.size() <= kPolicy)
            continue;
        const int policy = std::stoi(fields[kPolicy]);
        if (policy == SCHED_FIFO || policy == SCHED_RR)
            ++count;
    }
    return count;
}

TEST(PipeWireSoundThreads, RunInRealTimeWhereTheSystemAllowsIt) {
    if (!mayRunInRealTime())
        GTEST_SKIP() << "this process may not run threads in real time";
    SoundServer server(SoundServer::Kind::PipeWire);
    ASSERT_TRUE(server.start()) << server.error();
    RealWindow window;
    ASSERT_TRUE(window.openBoth(clickFile(ClickMedia::Sound, 1), clickFile(ClickMedia::Sound, 2)));
    window.window->play_both();
    EXPECT_TRUE(waitFor([] { return realTimeThreads() >= 2; }, 5000))
        << realTimeThreads() << " threads in real time while both play";
}

}  // namespace
