#pragma once

#include <functional>

// Holds the picture of a native window's children on screen (libmpv's window inside a player's
// video window): while held, the screen keeps what they showed and what they draw goes off
// screen; the release puts their latest picture on screen in one step. Uses the X server's
// Composite extension on the GUI's own display; where there is none, nothing is held.
namespace PictureHold {

// False where no picture can be held (not on X11, no Composite).
bool hold(unsigned long window);
// Reaches the X server with the next flush: call it inside together().
void release(unsigned long window);
// Runs the releases so that no other program's drawing or screen capture comes between them.
void together(const std::function<void()>& releases);

}  // namespace PictureHold
