#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A private sound server with one null sink, for tests and benchmarks that listen to what the
// players really send: PulseAudio, or PipeWire with WirePlumber (and a session bus of its own,
// which WirePlumber needs), each in a runtime folder of its own. start() points this process's
// sound clients at it (and away from any other server); the destructor stops it.
class SoundServer {
public:
    enum class Kind { PulseAudio, PipeWire };

    explicit SoundServer(Kind kind);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // Starts the server and waits, at most 20 s, until its sink takes streams. On failure
    // returns false and says why in error().
    bool start();
    const std::string& error() const { return m_error; }
    Kind kind() const { return m_kind; }
    static const char* name(Kind kind);

    // The environment a child process needs to play through this server.
    QProcessEnvironment clientEnvironment() const;

    // Records the sink's output (48 kHz, two channels) until stopRecording(), which returns
    // the interleaved samples. The first samples arrive a little after the call returns.
    bool startRecording();
    std::vector<std::int16_t> stopRecording();
    // What the recorder has written so far, whole frames only.
    std::vector<std::int16_t> recorded() const;
    // The same from the `from`th sample on.
    std::vector<std::int16_t> recordedSince(std::size_t from) const;

    // Stops the server at once, as a crash or a restart does; start() brings it back.
    void kill();

private:
    bool startPulseAudio();
    bool startPipeWire();
    bool fail(const std::string& why);
    QProcessEnvironment serverEnvironment() const;
    QProcessEnvironment toolEnvironment() const;
    bool runTool(const QString& program, const QStringList& args, QByteArray* output = nullptr);
    bool waitForSink();

    Kind m_kind;
    QTemporaryDir m_runtime;
    QString m_busAddress;
    std::vector<std::unique_ptr<QProcess>> m_daemons;
    QProcess m_recorder;
    QString m_recording;
    std::string m_error;
};
