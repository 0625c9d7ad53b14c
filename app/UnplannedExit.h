#pragma once

// Qt's X11 plugin ends the program with exit(1) when the X server goes away, on the window's
// thread, while libmpv's threads still run; exit() then destroys the libraries' static objects
// under their feet and the program crashes instead of ending. Between these two calls an exit()
// ends the process at once, with that status 1.
void endAtOnceOnUnplannedExit();
void plannedEnd();

// Ends the process at once, status 1, saying that the display went away; safe on any thread
// and inside an Xlib error handler.
[[noreturn]] void endAtOnceWithoutDisplay();
