#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "CallLog.h"
#include "IMediaPlayer.h"

using PlayerCallLog = BasicCallLog<PlayerError>;

// A player that records every call as "wmpN.call(arg)" in a shared log and keeps only what the
// window reads back: a position that changes when written, a playing flag, geometry in twips.
// An open it takes stays under way until the test ends it (opened(), refused()).
class FakePlayer : public IMediaPlayer {
public:
    FakePlayer(std::string name, PlayerCallLog& log) : m_name(std::move(name)), m_log(log) {}

    // State a test may set up or inspect directly, without a record.
    std::string url;
    double position = 0.0;
    bool playing = false;
    double rate = 1.0;
    bool pitchKept = false;
    Reading from = Reading::Sound;  // a sound file: no moving picture
    std::uint64_t returns = 0;
    float left = 0;
    float width = 0;
    float height = 0;
    // The file of the open under way, which a later setURL replaces.
    std::optional<std::string> opening;

    void setAutoStart(bool value) override { set("setAutoStart", value ? "true" : "false"); }
    void setURL(const std::string& path) override {
        opening.reset();  // replaced, or refused at once
        url = set("setURL", path);
        opening = url;
    }
    void onOpenEnded(OpenEnded told) override { m_told = std::move(told); }
    void onFileLost(FileLost told) override { m_lost = std::move(told); }

    // Ends the open under way, as the player's news would, and tells whoever listens.
    void opened() { end(nullptr); }
    void refused(const std::string& why = "injected refusal") {
        const PlayerError refusal(why);
        end(&refusal);
    }
    // Gives up the file it holds, as a player whose file can no longer be played.
    void lost(const std::string& why = "injected loss") {
        playing = false;
        if (m_lost)
            m_lost(PlayerError(why));
    }
    void play() override { playing = rec("play", true); }
    void pause() override { playing = rec("pause", false); }
    double currentPosition() override { return rec("currentPosition", position); }
    Reading positionNowFrom() override { return from; }
    void setCurrentPosition(double seconds) override {
        position = set("setCurrentPosition", seconds);
    }
    void setRate(double value) override { rate = set("setRate", value); }
    double currentRate() override { return rate; }
    void setKeepPitch(bool keep) override {
        pitchKept = set("setKeepPitch", keep ? "true" : "false") == std::string("true");
    }
    PlayState playState() override { return rec("playState", playing ? kPlaying : kPaused); }
    // Asked at every reading of the follower: not recorded, or it would fill every log.
    std::uint64_t soundReturns() override { return returns; }
    float Left() override { return rec("Left", left); }
    void setLeft(float twips) override { left = set("setLeft", twips); }
    float Width() override { return rec("Width", width); }
    void setWidth(float twips) override { width = set("setWidth", twips); }
    float Height() override { return rec("Height", height); }
    void setHeight(float twips) override { height = set("setHeight", twips); }

private:
    void end(const PlayerError* refusal) {
        ASSERT_TRUE(opening.has_value()) << m_name << " has no open under way";
        opening.reset();
        if (m_told)
            m_told(refusal);
    }
    // Records a call without an argument and gives back what it answers.
    template <typename T>
    T rec(const std::string& call, T answer) {
        m_log.record(m_name + "." + call);
        return answer;
    }
    // Records a call with its argument and gives back the value to store.
    template <typename T>
    T set(const std::string& call, T value) {
        m_log.record(m_name + "." + call, value);
        return value;
    }

    std::string m_name;
    PlayerCallLog& m_log;
    OpenEnded m_told;
    FileLost m_lost;
};
