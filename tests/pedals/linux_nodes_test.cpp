#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "LinuxPedalNodes.h"

// The system's node opener on nodes that are not input devices: such a node is never taken as
// grabbed, so a keyboard pedal whose keys would still reach other programs is not read.

namespace {

class LinuxNodes : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/pedal-node-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fifo = dir + "/event9";
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    }
    void TearDown() override {
        unlink(fifo.c_str());
        rmdir(dir.c_str());
    }
    std::string dir;
    std::string fifo;
    LinuxPedalNodes nodes;
};

TEST_F(LinuxNodes, ANodeThatIsNoInputDeviceCannotBeTaken) {
    PedalNode node;
    node.kind = PedalNode::Kind::Event;
    node.devnode = fifo;
    int error = -1;
    const int fd = nodes.open(node, error);
    ASSERT_GE(fd, 0) << error;
    EXPECT_EQ(error, 0);
    EXPECT_NE(nodes.grab(fd), 0);
    nodes.close(fd);
}

TEST_F(LinuxNodes, AMissingNodeSaysWhy) {
    PedalNode node;
    node.devnode = dir + "/hidraw9";
    int error = 0;
    EXPECT_EQ(nodes.open(node, error), -1);
    EXPECT_EQ(error, ENOENT);
}

}  // namespace
