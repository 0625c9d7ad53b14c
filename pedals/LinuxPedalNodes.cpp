#include "LinuxPedalNodes.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <unistd.h>

#include <cerrno>

LinuxPedalNodes::~LinuxPedalNodes() {
    while (!m_grabbed.empty())
        close(m_grabbed.begin()->first);
}

int LinuxPedalNodes::open(const PedalNode& node, int& error) {
    const int fd = ::open(node.devnode.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    error = fd < 0 ? errno : 0;
    return fd;
}

int LinuxPedalNodes::grab(int fd) {
    libevdev* dev = nullptr;
    if (const int failed = libevdev_new_from_fd(fd, &dev); failed < 0)
        return -failed;
    if (const int failed = libevdev_grab(dev, LIBEVDEV_GRAB); failed < 0) {
        libevdev_free(dev);
        return -failed;
    }
    m_grabbed[fd] = dev;
    return 0;
}

// The kernel lets go of a grab with the last descriptor; letting go first keeps the order plain.
void LinuxPedalNodes::close(int fd) {
    if (const auto it = m_grabbed.find(fd); it != m_grabbed.end()) {
        libevdev_grab(it->second, LIBEVDEV_UNGRAB);
        libevdev_free(it->second);
        m_grabbed.erase(it);
    }
    ::close(fd);
}
