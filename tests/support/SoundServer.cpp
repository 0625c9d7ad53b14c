#include "SoundServer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cstring>

namespace {

constexpr const char* kSink = "pellucor-null";
constexpr int kStartMs = 20000;

// Waits for a condition the server's own processes bring about; they run beside this one, so
// a short sleep between looks costs nothing but time.
template <typename Done>
bool waitUntil(Done done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

// The samples of a WAV file as a recorder leaves it: the header's sizes may never have been
// written, so everything after the data chunk's header counts.
std::vector<std::int16_t> wavSamples(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const qsizetype data = bytes.indexOf("data");
    if (data < 0)
        return {};
    const qsizetype first = data + 8;
    std::vector<std::int16_t> samples(static_cast<std::size_t>((bytes.size() - first) / 4 * 2));
    std::memcpy(samples.data(), bytes.constData() + first, samples.size() * 2);
    return samples;
}

}  // namespace

SoundServer::SoundServer(Kind kind) : m_kind(kind) {}

SoundServer::~SoundServer() {
    if (m_recorder.state() != QProcess::NotRunning)
        stopRecording();
    kill();
    qunsetenv("PULSE_SERVER");
    qunsetenv("PIPEWIRE_REMOTE");
    qunsetenv("PIPEWIRE_RUNTIME_DIR");
}

const char* SoundServer::name(Kind kind) {
    return kind == Kind::PulseAudio ? "PulseAudio" : "PipeWire";
}

bool SoundServer::fail(const std::string& why) {
    m_error = std::string(name(m_kind)) + ": " + why;
    kill();
    return false;
}

QProcessEnvironment SoundServer::serverEnvironment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* var : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME"})
        env.insert(var, m_runtime.path());
    env.remove("PULSE_SERVER");
    env.remove("PIPEWIRE_REMOTE");
    env.remove("PIPEWIRE_RUNTIME_DIR");
    // The players' client configuration: the server and its session manager read their own.
    env.remove("PIPEWIRE_CONFIG_NAME");
    if (!m_busAddress.isEmpty())
        env.insert("DBUS_SESSION_BUS_ADDRESS", m_busAddress);
    return env;
}

QProcessEnvironment SoundServer::clientEnvironment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (m_kind == Kind::PulseAudio) {
        env.insert("PULSE_SERVER", "unix:" + m_runtime.filePath("native"));
        env.insert("PIPEWIRE_REMOTE", m_runtime.filePath("no-pipewire"));
    } else {
        env.insert("PIPEWIRE_RUNTIME_DIR", m_runtime.path());
        env.insert("PIPEWIRE_REMOTE", "pipewire-0");
        env.insert("PULSE_SERVER", "unix:" + m_runtime.filePath("no-pulse"));
    }
    return env;
}

// The server's own tools (pactl, pw-cli, the recorders) talk to it as its clients do.
QProcessEnvironment SoundServer::toolEnvironment() const {
    QProcessEnvironment env = serverEnvironment();
    const QProcessEnvironment client = clientEnvironment();
    for (const QString& key : client.keys())
        if (key.startsWith("PULSE") || key.startsWith("PIPEWIRE"))
            env.insert(key, client.value(key));
    return env;
}

bool SoundServer::runTool(const QString& program, const QStringList& args, QByteArray* output) {
    QProcess tool;
    tool.setProcessEnvironment(toolEnvironment());
    tool.start(program, args);
    if (!tool.waitForFinished(10000) || tool.exitStatus() != QProcess::NormalExit ||
        tool.exitCode() != 0)
        return false;
    if (output)
        *output = tool.readAllStandardOutput();
    return true;
}

bool SoundServer::start() {
    m_error.clear();
    if (!m_runtime.isValid())
        return fail("no runtime folder");
    const bool started = m_kind == Kind::PulseAudio ? startPulseAudio() : startPipeWire();
    if (!started)
        return false;
    const QProcessEnvironment client = clientEnvironment();
    for (const char* var : {"PULSE_SERVER", "PIPEWIRE_REMOTE", "PIPEWIRE_RUNTIME_DIR"}) {
        if (client.contains(var))
            qputenv(var, client.value(var).toUtf8());
        else
            qunsetenv(var);
    }
    return true;
}

bool SoundServer::startPulseAudio() {
    auto& pulse = *m_daemons.emplace_back(std::make_unique<QProcess>());
    pulse.setProcessEnvironment(serverEnvironment());
    pulse.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    pulse.start(
        "pulseaudio",
        {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disallow-exit",
         "-L", QString("module-null-sink sink_name=%1 rate=48000 channels=2").arg(kSink), "-L",
         "module-native-protocol-unix socket=" + m_runtime.filePath("native")});
    if (!pulse.waitForStarted(10000))
        return fail("pulseaudio is not installed");
    if (!waitUntil([&] { return runTool("pactl", {"info"}); }, kStartMs))
        return fail("the server never answered");
    return true;
}

bool SoundServer::startPipeWire() {
    auto& bus = *m_daemons.emplace_back(std::make_unique<QProcess>());
    const QString busSocket = m_runtime.filePath("bus");
    bus.setProcessEnvironment(serverEnvironment());
    bus.start("dbus-daemon",
              {"--session", "--nofork", "--nopidfile", "--address=unix:path=" + busSocket});
    if (!bus.waitForStarted(10000) ||
        !waitUntil([&] { return QFile::exists(busSocket); }, kStartMs))
        return fail("no session bus for WirePlumber");
    m_busAddress = "unix:path=" + busSocket;

    for (const char* program : {"pipewire", "wireplumber"}) {
        auto& daemon = *m_daemons.emplace_back(std::make_unique<QProcess>());
        daemon.setProcessEnvironment(serverEnvironment());
        daemon.setStandardOutputFile(QProcess::nullDevice());
        daemon.setStandardErrorFile(m_runtime.filePath(QString(program) + ".log"));
        daemon.start(program, {});
        if (!daemon.waitForStarted(10000))
            return fail(std::string(program) + " is not installed");
        if (std::strcmp(program, "pipewire") == 0 &&
            !waitUntil([&] { return QFile::exists(m_runtime.filePath("pipewire-0")); }, kStartMs))
            return fail("pipewire never opened its socket");
    }
    const QString sink = QString(
                             "{ factory.name=support.null-audio-sink node.name=%1 "
                             "media.class=Audio/Sink object.linger=true "
                             "audio.position=[FL FR] audio.rate=48000 }")
                             .arg(kSink);
    if (!waitUntil([&] { return runTool("pw-cli", {"create-node", "adapter", sink}); }, kStartMs))
        return fail("cannot make the null sink");
    // Streams go to the default sink, which WirePlumber chooses once it has seen this one.
    const bool chosen = waitUntil(
        [&] {
            QByteArray out;
            return runTool("pw-metadata", {"-n", "default", "0", "default.audio.sink"}, &out) &&
                   out.contains(kSink);
        },
        kStartMs);
    return chosen || fail("WirePlumber never chose the null sink");
}

bool SoundServer::startRecording() {
    m_recording = m_runtime.filePath("recording.wav");
    QFile::remove(m_recording);
    m_recorder.setProcessEnvironment(toolEnvironment());
    m_recorder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (m_kind == Kind::PulseAudio) {
        m_recorder.start("parec",
                         {"-d", QString(kSink) + ".monitor", "--file-format=wav", "--format=s16le",
                          "--rate=48000", "--channels=2", "--latency-msec=20", m_recording});
    } else {
        m_recorder.start("pw-record",
                         {"--target", kSink, "-P", "{ stream.capture.sink=true }", "--rate",
                          "48000", "--channels", "2", "--format", "s16", m_recording});
    }
    return m_recorder.waitForStarted(10000);
}

std::vector<std::int16_t> SoundServer::stopRecording() {
    m_recorder.terminate();
    if (!m_recorder.waitForFinished(5000)) {
        m_recorder.kill();
        m_recorder.waitForFinished(5000);
    }
    return wavSamples(m_recording);
}

std::vector<std::int16_t> SoundServer::recorded() const {
    return wavSamples(m_recording);
}

std::vector<std::int16_t> SoundServer::recordedSince(std::size_t from) const {
    std::vector<std::int16_t> samples = recorded();
    samples.erase(samples.begin(),
                  samples.begin() + static_cast<long>(std::min(from, samples.size())));
    return samples;
}

void SoundServer::kill() {
    // The last started depends on the first: stop them the other way round.
    for (auto it = m_daemons.rbegin(); it != m_daemons.rend(); ++it) {
        (*it)->kill();
        (*it)->waitForFinished(5000);
    }
    m_daemons.clear();
    m_busAddress.clear();
    for (const char* leftover : {"native", "pipewire-0", "pipewire-0.lock", "bus"})
        QFile::remove(m_runtime.filePath(leftover));
}
