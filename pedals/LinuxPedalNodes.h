#pragma once

#include <map>

#include "IPedalNodes.h"

struct libevdev;

// Device nodes opened read-only and non-blocking; event nodes taken with libevdev's grab.
class LinuxPedalNodes : public IPedalNodes {
public:
    ~LinuxPedalNodes() override;

    int open(const PedalNode& node, int& error) override;
    int grab(int fd) override;
    void close(int fd) override;

private:
    std::map<int, libevdev*> m_grabbed;
};
