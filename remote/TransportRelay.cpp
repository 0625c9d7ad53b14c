#include "TransportRelay.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QLoggingCategory>
#include <cmath>

#include "MprisValues.h"
#include "RemoteNames.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {
constexpr int kWatchIntervalMs = 250;
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
}  // namespace

TransportRelay::TransportRelay(IRemoteTransport& transport, IRemoteTimer& timer, QObject* parent)
    : QObject(parent),
      m_transport(transport),
      m_commands(timer),
      m_opens(timer),
      m_speeds(timer),
      m_bus(QStringLiteral("unwatched")) {
    m_watch.setInterval(kWatchIntervalMs);
    connect(&m_watch, &QTimer::timeout, this, &TransportRelay::refresh);
    refresh();
}

void TransportRelay::play() {
    submitAndRefresh(m_commands, "Play", &IRemoteTransport::play);
}

void TransportRelay::pause() {
    submitAndRefresh(m_commands, "Pause", &IRemoteTransport::pause);
}

void TransportRelay::back() {
    submitAndRefresh(m_commands, "Back", &IRemoteTransport::back);
}

// The window's thread reads player 1 again after the command, so that a read right after it
// answers with what it did.
void TransportRelay::submitAndRefresh(CommandQueue& queue, std::string name,
                                      void (IRemoteTransport::*command)()) {
    queue.submit(std::move(name), [this, command] {
        (m_transport.*command)();
        refresh();
    });
}

void TransportRelay::copyTime() {
    m_commands.submit("CopyTime", [this] { m_transport.copyTime(); });
}

void TransportRelay::open(std::string file1, std::string file2) {
    m_opens.submit("Open", [this, file1 = std::move(file1), file2 = std::move(file2)] {
        m_transport.open(file1, file2);
        refresh();
    });
}

void TransportRelay::setSpeed(double speed) {
    m_speeds.submit("SetSpeed", [this, speed] {
        m_transport.setSpeed(speed);
        refresh();
    });
}

void TransportRelay::slower() {
    submitAndRefresh(m_speeds, "Slower", &IRemoteTransport::slower);
}

void TransportRelay::faster() {
    submitAndRefresh(m_speeds, "Faster", &IRemoteTransport::faster);
}

void TransportRelay::playPause() {
    m_commands.submit("PlayPause", [this] {
        if (m_transport.state() == IRemoteTransport::State::Playing)
            m_transport.pause();
        else
            m_transport.play();
        refresh();
    });
}

void TransportRelay::backAndTellSeeked() {
    m_commands.submit("Seek", [this] {
        m_transport.back();
        refresh();
        if (!m_watching)
            return;
        QDBusMessage signal = QDBusMessage::createSignal(RemoteNames::kMprisPath, kPlayerInterface,
                                                         QStringLiteral("Seeked"));
        const double seconds = view().position;
        signal << static_cast<qlonglong>(std::isfinite(seconds) ? std::llround(seconds * 1e6) : 0);
        if (!m_bus.send(signal))
            qCWarning(lcRemote) << "cannot tell about the seek:" << m_bus.lastError().message();
    });
}

TransportRelay::View TransportRelay::view() const {
    std::lock_guard lock(m_mutex);
    View view = m_view;
    if (view.state == IRemoteTransport::State::Playing)
        view.position +=
            std::chrono::duration<double>(Clock::now() - m_readAt).count() * view.speed;
    return view;
}

void TransportRelay::watch(QDBusConnection bus) {
    m_bus = bus;
    m_watching = true;
    refresh();
    const View now = view();
    m_toldStatus = playbackStatusOf(now.state);
    m_toldFile = now.file;
    m_toldSpeed = now.speed;
    m_watch.start();
}

void TransportRelay::refresh() {
    View now{m_transport.state(), m_transport.position(), m_transport.file(), m_transport.speed()};
    {
        std::lock_guard lock(m_mutex);
        m_view = now;
        m_readAt = Clock::now();
    }
    if (!m_watching)
        return;
    QVariantMap changed;
    const QString status = playbackStatusOf(now.state);
    if (status != m_toldStatus) {
        m_toldStatus = status;
        changed.insert(QStringLiteral("PlaybackStatus"), status);
    }
    if (now.file != m_toldFile) {
        m_toldFile = now.file;
        changed.insert(QStringLiteral("Metadata"), metadataOf(now.file));
    }
    if (now.speed != m_toldSpeed) {
        m_toldSpeed = now.speed;
        changed.insert(QStringLiteral("Rate"), now.speed);
    }
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        RemoteNames::kMprisPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    if (!m_bus.send(signal))
        qCWarning(lcRemote) << "cannot tell about the player's change:"
                            << m_bus.lastError().message();
}
