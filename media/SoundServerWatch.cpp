#include "SoundServerWatch.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

SoundServerWatch& SoundServerWatch::instance() {
    static SoundServerWatch watch([] {
        const SoundServerSockets sockets =
            soundServerSockets(QProcessEnvironment::systemEnvironment());
        return sockets.hasRemote || anyListening(sockets.paths);
    });
    return watch;
}

SoundServerWatch::SoundServerWatch(Probe reachable) : m_probe(std::move(reachable)) {
    m_timer.setInterval(kLookMs);
    connect(&m_timer, &QTimer::timeout, this, &SoundServerWatch::look);
}

bool SoundServerWatch::canLook() const {
    const SoundServerSockets sockets = soundServerSockets(QProcessEnvironment::systemEnvironment());
    return sockets.hasRemote || !sockets.paths.empty();
}

void SoundServerWatch::wait(const QObject* who) {
    m_waiting.insert(who);
    if (!m_timer.isActive())
        m_timer.start();
}

void SoundServerWatch::release(const QObject* who, bool soundBack) {
    if (m_waiting.erase(who) == 0)
        return;
    m_someBack = m_someBack || soundBack;
    if (!m_waiting.empty())
        return;
    m_timer.stop();
    if (std::exchange(m_someBack, false))
        QTimer::singleShot(0, this, [this] {
            if (m_waiting.empty())
                emit allBack();
        });
}

void SoundServerWatch::look() {
    if (!m_waiting.empty() && m_probe())
        emit serverReachable();
}

SoundServerSockets soundServerSockets(const QProcessEnvironment& environment) {
    SoundServerSockets sockets;
    const QString runtime = environment.value("XDG_RUNTIME_DIR");
    const QString pulse = environment.value("PULSE_SERVER");
    if (!pulse.isEmpty()) {
        // A list of servers, tried in turn: local sockets as "unix:PATH" or a plain path.
        for (const QString& server : pulse.split(' ', Qt::SkipEmptyParts)) {
            if (server.startsWith("unix:"))
                sockets.paths.push_back(server.mid(5).toStdString());
            else if (server.startsWith('/'))
                sockets.paths.push_back(server.toStdString());
            else
                sockets.hasRemote = true;
        }
    } else if (const QString dir = environment.value("PULSE_RUNTIME_PATH"); !dir.isEmpty()) {
        sockets.paths.push_back((dir + "/native").toStdString());
    } else if (!runtime.isEmpty()) {
        sockets.paths.push_back((runtime + "/pulse/native").toStdString());
    }
    const QString remote = environment.value("PIPEWIRE_REMOTE", "pipewire-0");
    const QString pipewireDir = environment.value("PIPEWIRE_RUNTIME_DIR", runtime);
    if (remote.startsWith('/'))
        sockets.pipeWire = remote.toStdString();
    else if (!pipewireDir.isEmpty())
        sockets.pipeWire = (pipewireDir + "/" + remote).toStdString();
    if (!sockets.pipeWire.empty())
        sockets.paths.push_back(sockets.pipeWire);
    return sockets;
}

bool pipeWireListening() {
    const std::string socket =
        soundServerSockets(QProcessEnvironment::systemEnvironment()).pipeWire;
    return !socket.empty() && anyListening({socket});
}

bool anyListening(const std::vector<std::string>& socketPaths) {
    for (const std::string& path : socketPaths) {
        sockaddr_un address{};
        if (path.size() >= sizeof address.sun_path)
            continue;
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0)
            continue;
        const int result = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
        // A full queue still has a server behind it.
        const bool listening = result == 0 || errno == EAGAIN || errno == EINPROGRESS;
        close(fd);
        if (listening)
            return true;
    }
    return false;
}
