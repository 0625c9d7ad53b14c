#pragma once

#include <exception>

#include "IRemoteTransport.h"

class frm1;

// The remote's view of the window: each command enters as its hot key does, through the
// window's hot-key handler, so it restores the window and acts only with both files loaded.
class WindowTransport : public IRemoteTransport {
public:
    explicit WindowTransport(frm1& window) : m_window(window) {}

    void play() override;
    void pause() override;
    void back() override;
    void copyTime() override;
    void open(const std::string& file1, const std::string& file2) override;
    void setSpeed(double speed) override;
    void slower() override;
    void faster() override;
    State state() override;
    double position() override;
    std::string file() override;
    double speed() override;

private:
    void unanswered(const std::exception& e);

    frm1& m_window;
    bool m_unanswered = false;
};
