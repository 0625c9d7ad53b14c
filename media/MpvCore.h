#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SoundClock.h"

struct mpv_handle;
struct mpv_event;
struct MpvLibrary;

// Owns one mpv_handle with the options every player shares. libmpv draws the picture itself
// into the native window it is given, on its own threads. The state the player reads all the
// time (position, duration, pause, end, picture) is observed into a cache, and everything the
// GUI thread writes is sent asynchronously, so the GUI thread never waits on libmpv, nor for it
// to load (a command before then throws). Events arrive as Qt signals on the GUI thread.
// It knows nothing of widgets. Failures of libmpv are thrown as PlayerError.
class MpvCore : public QObject {
    Q_OBJECT
public:
    // The state libmpv last reported; empty optionals while it has no value (no file).
    struct Observed {
        std::optional<double> timePos;
        std::optional<double> duration;
        bool paused = true;
        bool eofReached = false;
        bool hasPicture = false;
        // Frames per second the file declares, where it does.
        std::optional<double> frameRate;
        // Pictures a second as libmpv estimates them from the last pictures' times; a file
        // whose rate varies declares one it does not keep.
        std::optional<double> pictureRate;
        // The sound output libmpv plays through ("pulse", "pipewire", "null"); empty without
        // sound.
        std::string audioOutput;
        // The rate of the sound libmpv hands that output, samples a second.
        std::optional<std::int64_t> outputRate;
        // Counts the position reports, so a reader can tell a report newer than some moment.
        std::uint64_t timePosSerial = 0;
        // The clock the position reports make (carried on while playing), and the one libmpv's
        // reports of the sound heard make: with moving pictures the position stays on the
        // picture on screen, the sound moves on.
        SoundClock sound;
        SoundClock heard;
        // The picture is a still (a cover in a sound file): the position moves with the sound.
        bool stillPicture = false;
        // The file's length is a guess from its bit rate (an MP3 whose header states none): its
        // data may end well before or after it.
        bool durationGuessed = false;
    };

    // wid: the native window to draw into; 0 for no picture at all. libmpv is started by
    // start() or by the first command, whichever comes first.
    explicit MpvCore(std::int64_t wid);
    ~MpvCore() override;
    MpvCore(const MpvCore&) = delete;
    MpvCore& operator=(const MpvCore&) = delete;

    const Observed& observed() const { return m_observed; }

    // Creates and initialises the mpv handle, waiting for libmpv to be loaded; once only.
    // keepWindow: open the video output now and keep it between files (the picture is on
    // screen). Throws PlayerError when libmpv cannot be loaded or started.
    void start(bool keepWindow = false);
    bool started() const { return m_mpv != nullptr; }
    bool isShutDown() const { return m_shutDown; }
    // libmpv's text for one of its error codes.
    const char* errorText(int error) const;

    // Ends libmpv's threads and closes its video output now, before the window it draws into
    // goes. Every later command throws; the destructor does it otherwise.
    void shutDown();

    // The reply arrives later as commandReplied(id, error, playlistEntryId).
    void commandAsync(std::uint64_t id, const std::vector<std::string>& args);
    // Failures of these arrive later and are logged.
    void setFlagAsync(const char* name, bool value);
    void setDoubleAsync(const char* name, double value);
    void setStringAsync(const char* name, const std::string& value);
    // The value arrives later as doubleRead(id, value), empty where libmpv has none.
    void readDoubleAsync(std::uint64_t id, const char* name);
    // Opens the sound output again, from the first of the outputs it may use; a failure is
    // replied to kReloadRequest.
    void reloadAudioOutputAsync();
    static constexpr std::uint64_t kReloadRequest = ~std::uint64_t{0};

    // What the opened file holds, read at once while libmpv waits in fileOpened (blocking, but
    // libmpv's core has nothing else to do then).
    struct OpenedFile {
        std::optional<double> duration;
        bool hasAudioOrVideo = false;
    };
    OpenedFile readOpenedFile();

signals:
    void fileStarted(qint64 playlistEntryId);
    // The file started last has been opened and its tracks are known; libmpv has neither chosen
    // tracks nor set up decoders and the picture yet, and waits until the receivers return.
    void fileOpened();
    void fileLoaded();
    // reason and error as libmpv gives them (error is 0 unless the file was refused).
    void fileEnded(qint64 playlistEntryId, int reason, int error);
    void playbackRestarted();
    // playlistEntryId is the loaded entry for a loadfile reply, else 0.
    void commandReplied(quint64 id, int error, qint64 playlistEntryId);
    void doubleRead(quint64 id, std::optional<double> value);
    void eofReachedChanged(bool reached);
    void timePosChanged();
    void pictureChanged(bool hasPicture);
    void pictureRateChanged();
    void audioOutputChanged();

private:
    void drain();
    // Handles one event that is there; false when there is none.
    bool handleNextEvent();
    void dispatch(const mpv_event& event);
    void propertyChanged(std::uint64_t id, const void* property);
    void logMessage(const void* message);
    void setAsync(const char* name, int format, void* value);
    void requireHandle();
    static void onWakeup(void* self);

    std::int64_t m_wid;
    const MpvLibrary* m_lib = nullptr;
    mpv_handle* m_mpv = nullptr;
    bool m_shutDown = false;
    const char* m_soundOutputs = "";  // audioOutputs() as chosen last
    Observed m_observed;
};
