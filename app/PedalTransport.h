#pragma once

#include "IPedalTransport.h"

class frm1;

// The pedals' view of the window: play, pause and back enter as their hot keys do, through the
// window's hot-key handler; forward takes the same path (restore first, nothing unless both
// players hold a file) to the window's short fast-forward.
class PedalTransport : public IPedalTransport {
public:
    explicit PedalTransport(frm1& window) : m_window(window) {}

    void play() override;
    void pause() override;
    void back() override;
    void forward() override;
    bool playing() override;

private:
    frm1& m_window;
};
