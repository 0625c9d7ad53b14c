#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#include "NamedCases.h"
#include "SoundServerWatch.h"

namespace {

struct Where {
    const char* name;
    std::vector<std::pair<const char*, const char*>> environment;
    std::vector<std::string> sockets;
    std::string pipeWire;
    bool remote;
};

const Where kWheres[] = {
    {"DefaultsInTheRuntimeFolder",
     {{"XDG_RUNTIME_DIR", "/run/user/1000"}},
     {"/run/user/1000/pulse/native", "/run/user/1000/pipewire-0"},
     "/run/user/1000/pipewire-0",
     false},
    {"PulseServerListWithANetworkOne",
     {{"XDG_RUNTIME_DIR", "/r"}, {"PULSE_SERVER", "unix:/tmp/p/native tcp:host:4713 /tmp/q"}},
     {"/tmp/p/native", "/tmp/q", "/r/pipewire-0"},
     "/r/pipewire-0",
     true},
    {"PulseRuntimePathAndPipeWireRemoteByName",
     {{"XDG_RUNTIME_DIR", "/r"},
      {"PULSE_RUNTIME_PATH", "/p"},
      {"PIPEWIRE_RUNTIME_DIR", "/w"},
      {"PIPEWIRE_REMOTE", "pipewire-1"}},
     {"/p/native", "/w/pipewire-1"},
     "/w/pipewire-1",
     false},
    {"PipeWireRemoteByPath", {{"PIPEWIRE_REMOTE", "/s/pw"}}, {"/s/pw"}, "/s/pw", false},
    {"NoRuntimeFolderNothingToLookAt", {}, {}, "", false},
};

class SoundServerPlaces : public testing::TestWithParam<Where> {};

TEST_P(SoundServerPlaces, AreWhereTheClientsLook) {
    QProcessEnvironment environment;
    for (const auto& [name, value] : GetParam().environment)
        environment.insert(name, value);
    const SoundServerSockets sockets = soundServerSockets(environment);
    EXPECT_EQ(sockets.paths, GetParam().sockets);
    EXPECT_EQ(sockets.pipeWire, GetParam().pipeWire);
    EXPECT_EQ(sockets.hasRemote, GetParam().remote);
}

INSTANTIATE_TEST_SUITE_P(, SoundServerPlaces, testing::ValuesIn(kWheres), byName);

TEST(SoundServerListening, IsSeenOnlyWhileAServerListens) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("native").toStdString();
    EXPECT_FALSE(anyListening({path})) << "no socket";
    const int server = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(server, 4), 0);
    EXPECT_TRUE(anyListening({"/nonexistent/socket", path}));
    close(server);
    EXPECT_FALSE(anyListening({path})) << "a socket left behind by a server that died";
}

TEST(SoundServerWatch, TellsWhenAllWhoWaitedAreBackAndNotBefore) {
    bool up = false;
    SoundServerWatch watch([&] { return up; });
    QSignalSpy reachable(&watch, &SoundServerWatch::serverReachable);
    QSignalSpy allBack(&watch, &SoundServerWatch::allBack);
    const QObject one;
    const QObject two;
    watch.wait(&one);
    watch.wait(&two);
    watch.look();
    EXPECT_EQ(reachable.count(), 0);
    up = true;
    watch.look();
    EXPECT_EQ(reachable.count(), 1);

    watch.release(&one, true);
    QCoreApplication::processEvents();
    EXPECT_EQ(allBack.count(), 0) << "player 2 is still silent";
    watch.release(&two, true);
    EXPECT_EQ(allBack.count(), 0) << "in a turn of its own";
    QCoreApplication::processEvents();
    EXPECT_EQ(allBack.count(), 1);
    watch.look();
    EXPECT_EQ(reachable.count(), 1) << "nobody waits";

    watch.wait(&one);
    watch.release(&one, false);
    QCoreApplication::processEvents();
    EXPECT_EQ(allBack.count(), 1) << "given up: nothing came back";
}

}  // namespace
