#include "StandaloneMpv.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

int counter = 0;

}  // namespace

StandaloneMpv::StandaloneMpv(const std::string& video)
    : m_socket("/tmp/pellucor-bench-mpv-" + std::to_string(::getpid()) + "-" +
               std::to_string(++counter)) {
    m_process.start("mpv", {"--no-config", "--really-quiet", "--geometry=320x240",
                            "--ao=pipewire,pulse,alsa,null", "--loop-file=inf",
                            QString::fromStdString("--input-ipc-server=" + m_socket),
                            QString::fromStdString(video)});
}

StandaloneMpv::~StandaloneMpv() {
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    std::filesystem::remove(m_socket);
}

std::optional<double> StandaloneMpv::timePos() {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return std::nullopt;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, m_socket.c_str(), sizeof address.sun_path - 1);
    std::optional<double> result;
    const char request[] = "{\"command\":[\"get_property\",\"time-pos\"]}\n";
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::write(fd, request, sizeof request - 1) == static_cast<ssize_t>(sizeof request - 1)) {
        std::string reply;
        pollfd p{fd, POLLIN, 0};
        char buffer[512];
        // mpv may send events first; the answer is the line with "data".
        while (reply.find("\"data\"") == std::string::npos && ::poll(&p, 1, 1000) > 0) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            reply.append(buffer, static_cast<std::size_t>(n));
        }
        if (const auto at = reply.find("\"data\":"); at != std::string::npos)
            result = std::strtod(reply.c_str() + at + 7, nullptr);
    }
    ::close(fd);
    return result;
}

double StandaloneMpv::cpuSeconds() const {
    std::ifstream statFile("/proc/" + std::to_string(m_process.processId()) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    if (stat.empty())
        return 0;
    std::istringstream rest(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i < 14; ++i)
        rest >> field;
    double user = 0;
    double system = 0;
    rest >> user >> system;
    return (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

long StandaloneMpv::rssKiB() const {
    std::ifstream status("/proc/" + std::to_string(m_process.processId()) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}
