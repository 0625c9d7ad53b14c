#pragma once

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "IMediaPlayer.h"

// When the window last moved or started or stopped a player, shared by both players: the
// benchmarks see when a key's command really ran, whatever queue it went through.
struct CommandLog {
    using Clock = std::chrono::steady_clock;
    int calls = 0;
    int speedChanges = 0;
    Clock::time_point lastCall;
    Clock::time_point lastSeek;
    bool keepTimes = false;      // only for short runs: the list grows with every call
    bool speedsIgnored = false;  // the window's speed changes never reach the players
    std::vector<Clock::time_point> times;

    void note(bool seek) {
        ++calls;
        lastCall = Clock::now();
        if (seek)
            lastSeek = lastCall;
        if (keepTimes)
            times.push_back(lastCall);
    }
};

// A real player with every transport call noted in the log.
class RecordingPlayer : public IMediaPlayer {
public:
    RecordingPlayer(std::unique_ptr<IMediaPlayer> real, CommandLog& log)
        : m_real(std::move(real)), m_log(log) {}

    void setAutoStart(bool autoStart) override { m_real->setAutoStart(autoStart); }
    void setURL(const std::string& path) override { m_real->setURL(path); }
    void onOpenEnded(OpenEnded told) override { m_real->onOpenEnded(std::move(told)); }
    void onFileLost(FileLost told) override { m_real->onFileLost(std::move(told)); }
    void play() override {
        m_log.note(false);
        m_real->play();
    }
    void pause() override {
        m_log.note(false);
        m_real->pause();
    }
    double currentPosition() override { return m_real->currentPosition(); }
    std::uint64_t soundReturns() override { return m_real->soundReturns(); }
    void setCurrentPosition(double seconds) override {
        m_log.note(true);
        m_real->setCurrentPosition(seconds);
    }
    void setRate(double rate) override {
        m_log.speedChanges += 1;
        if (!m_log.speedsIgnored)
            m_real->setRate(rate);
    }
    double currentRate() override { return m_real->currentRate(); }
    void setKeepPitch(bool keep) override { m_real->setKeepPitch(keep); }
    PlayState playState() override { return m_real->playState(); }
    float Left() override { return m_real->Left(); }
    void setLeft(float twips) override { m_real->setLeft(twips); }
    float Width() override { return m_real->Width(); }
    void setWidth(float twips) override { m_real->setWidth(twips); }
    float Height() override { return m_real->Height(); }
    void setHeight(float twips) override { m_real->setHeight(twips); }

private:
    std::unique_ptr<IMediaPlayer> m_real;
    CommandLog& m_log;
};
