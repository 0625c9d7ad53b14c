#pragma once

#include <QWidget>
#include <string>

#include "CallLog.h"
#include "IMediaPlayer.h"

using PlayerCallLog = BasicCallLog<PlayerError>;

// A player that records every call as "wmpN.call(arg)" in a shared log and keeps a simple
// state: a position that only changes when written, a playing flag, geometry in twips taken
// from its host at creation.
class FakePlayer : public IMediaPlayer {
public:
    FakePlayer(std::string name, PlayerCallLog& log, QWidget* host = nullptr)
        : m_name(std::move(name)), m_log(log) {
        if (host) {
            const QRect g = host->geometry();
            left = static_cast<float>(g.x() * 15);
            width = static_cast<float>(g.width() * 15);
            height = static_cast<float>(g.height() * 15);
        }
    }

    // State a test may set up or inspect directly, without a record.
    bool autoStart = true;
    std::string url;
    double position = 0.0;
    bool playing = false;
    float left = 0;
    float width = 0;
    float height = 0;

    void setAutoStart(bool value) override {
        rec("setAutoStart", value ? "true" : "false");
        autoStart = value;
    }
    void setURL(const std::string& path) override {
        rec("setURL", path);
        url = path;
        position = 0.0;
        playing = autoStart;
    }
    void play() override {
        rec("play");
        playing = true;
    }
    void pause() override {
        rec("pause");
        playing = false;
    }
    double currentPosition() override {
        rec("currentPosition");
        return position;
    }
    void setCurrentPosition(double seconds) override {
        rec("setCurrentPosition", seconds);
        position = seconds;
    }
    int playState() override {
        rec("playState");
        return playing ? kPlaying : 2;
    }
    float Left() override { return get("Left", left); }
    void setLeft(float twips) override { set("setLeft", left, twips); }
    float Width() override { return get("Width", width); }
    void setWidth(float twips) override { set("setWidth", width, twips); }
    float Height() override { return get("Height", height); }
    void setHeight(float twips) override { set("setHeight", height, twips); }

private:
    void rec(const std::string& call) { m_log.record(m_name + "." + call); }
    template <typename Arg>
    void rec(const std::string& call, const Arg& arg) {
        m_log.record(m_name + "." + call, arg);
    }
    float get(const std::string& call, float value) {
        rec(call);
        return value;
    }
    void set(const std::string& call, float& field, float value) {
        rec(call, value);
        field = value;
    }

    std::string m_name;
    PlayerCallLog& m_log;
};
