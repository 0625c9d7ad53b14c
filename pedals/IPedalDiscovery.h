#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A device node of a USB device: a hidraw node or an input event node.
struct PedalNode {
    enum class Kind : std::uint8_t { Hidraw, Event };
    Kind kind = Kind::Hidraw;
    std::string devnode;  // what is opened, e.g. /dev/hidraw3
    std::string syspath;  // the node's identity, also on removal
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::string name;  // the USB product name, may be empty
};

struct PedalNodeChange {
    bool added = false;
    PedalNode node;  // on removal only syspath and devnode are sure to be set
};

// The system's device list and its hot-plug notices (libudev in the program, a folder tree in
// the tests).
class IPedalDiscovery {
public:
    virtual ~IPedalDiscovery() = default;

    // The hidraw and event nodes of USB devices present now.
    virtual std::vector<PedalNode> present() = 0;
    // Becomes readable when nodes come or go; -1 when there are no notices.
    virtual int changesFd() = 0;
    // What came and went since the last call; called when changesFd() is readable.
    virtual std::vector<PedalNodeChange> changes() = 0;
};
