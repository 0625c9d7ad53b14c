#pragma once

#include <string>

#include "IPedalDiscovery.h"

// Opening, taking and closing device nodes. Reading is a plain non-blocking read() on the
// descriptor, so the tests hand out pipe and socket ends.
class IPedalNodes {
public:
    virtual ~IPedalNodes() = default;

    // A non-blocking descriptor, or -1 with errno's value in `error`.
    virtual int open(const PedalNode& node, int& error) = 0;
    // Takes an event node for this program alone (EVIOCGRAB): 0, or errno's value.
    virtual int grab(int fd) = 0;
    // Lets go of the node (and of its grab).
    virtual void close(int fd) = 0;
};
