#pragma once

#include <QObject>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct mpv_handle;
struct mpv_event;

// Owns one mpv_handle with the options every player shares, gives typed property access and
// turns libmpv's events into Qt signals on the GUI thread. It knows nothing of widgets.
// Failures of libmpv are thrown as PlayerError.
class MpvCore : public QObject {
    Q_OBJECT
public:
    MpvCore();
    ~MpvCore() override;
    MpvCore(const MpvCore&) = delete;
    MpvCore& operator=(const MpvCore&) = delete;

    mpv_handle* handle() const { return m_mpv; }

    void command(const std::vector<std::string>& args);
    // The reply arrives later as commandReplied(id, error).
    void commandAsync(std::uint64_t id, const std::vector<std::string>& args);

    void setFlag(const char* name, bool value);
    void setDouble(const char* name, double value);
    void setString(const char* name, const std::string& value);
    std::optional<double> getDouble(const char* name) const;
    std::optional<bool> getFlag(const char* name) const;
    std::string getString(const char* name) const;
    // Whether the loaded file has a track of this type ("video", "audio"), cover art aside.
    bool hasTrack(const std::string& type) const;

    // Waits at most timeoutSeconds for one event and handles it; false when none came.
    // Lets a caller block briefly on a result without running the Qt event loop.
    bool handleNextEvent(double timeoutSeconds);

signals:
    void fileLoaded();
    // reason and error as libmpv gives them (error is 0 unless the file was refused).
    void fileEnded(int reason, int error);
    void playbackRestarted();
    void commandReplied(quint64 id, int error);
    void eofReachedChanged(bool reached);

private:
    void drain();
    void dispatch(const mpv_event& event);
    static void onWakeup(void* self);

    mpv_handle* m_mpv = nullptr;
};
