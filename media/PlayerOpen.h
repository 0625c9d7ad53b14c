#pragma once

#include <cstdint>
#include <string>

// One open of a file, from setURL to libmpv's news, and the file it leaves in the player.
// libmpv numbers its playlist entries: the reply to a loadfile names the entry it made, and its
// news about files names an entry or is about the entry it started last. News of any other
// entry is an earlier open's. Plain bookkeeping: it knows neither libmpv nor widgets.
class PlayerOpen {
public:
    enum class State {
        Empty,    // no file and no open under way
        Waiting,  // asked for but not sent: libmpv is still loading
        Sent,     // the loadfile is sent; libmpv's news decides
        Loaded,   // libmpv has set the file up (tracks chosen, decoders made): the open ended
        Settled,  // the file's first picture and sound are ready: it may start
    };

    // Reply ids of opens and stops; seeks count up from 1 on their own.
    static constexpr std::uint64_t kOwnRequests = std::uint64_t{1} << 62;
    static bool isOwnRequest(std::uint64_t id) { return id >= kOwnRequests; }

    // A new open replaces every earlier one: news told later of those is dropped.
    void replaceEarlier() { ++m_serial; }
    std::uint64_t serial() const { return m_serial; }
    bool isCurrent(std::uint64_t serial) const { return serial == m_serial; }

    // An open of `path` begins; it waits until it is sent.
    void begin(std::string path);
    // The open is sent now: the id to send its loadfile with.
    std::uint64_t send();
    // The id of another command of the player's own (a stop).
    std::uint64_t nextRequest() { return ++m_lastRequest + kOwnRequests; }

    // The reply to this open's loadfile, which libmpv may refuse or give an entry.
    bool isThisOpensReply(std::uint64_t id) const;
    void entryGiven(std::int64_t entry) { m_entry = entry; }
    void entryStarted(std::int64_t entry) { m_startedEntry = entry; }
    // News that names no entry: it is about the entry libmpv started last.
    bool startedIsThisOpens() const { return m_entry != 0 && m_startedEntry == m_entry; }
    bool isThisOpensEntry(std::int64_t entry) const { return entry != 0 && entry == m_entry; }

    // libmpv has loaded this open's file. True when that ends the open now.
    bool loaded();
    // libmpv's playback restarted: a loaded file has its first picture and sound.
    void restarted();
    // Refused, given up, or gone with the window: no file.
    void clear();

    State state() const { return m_state; }
    bool waitsForLibmpv() const { return m_state == State::Waiting; }
    bool underWay() const { return m_state == State::Waiting || m_state == State::Sent; }
    bool hasFile() const { return m_state == State::Loaded || m_state == State::Settled; }
    bool mayStart() const { return m_state == State::Settled; }
    // The file of the last open, kept after it ended to name it.
    const std::string& path() const { return m_path; }
    std::string fileName() const;

private:
    State m_state = State::Empty;
    std::string m_path;
    std::uint64_t m_serial = 0;
    std::uint64_t m_request = 0;
    std::uint64_t m_lastRequest = 0;
    std::int64_t m_entry = 0;
    std::int64_t m_startedEntry = 0;
};
