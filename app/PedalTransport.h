#pragma once

#include "IPedalTransport.h"
#include "WindowTransport.h"

class frm1;

// The pedals' view of the window: play, pause and back enter as their hot keys do, through the
// window's hot-key handler; forward takes the same path (restore first, nothing unless both
// players hold a file) to the window's short fast-forward.
class PedalTransport : public IPedalTransport {
public:
    explicit PedalTransport(frm1& window) : m_window(window), m_keys(window) {}

    void play() override { m_keys.play(); }
    void pause() override { m_keys.pause(); }
    void back() override { m_keys.back(); }
    void forward() override;
    bool playing() override;

private:
    frm1& m_window;
    WindowTransport m_keys;
};
