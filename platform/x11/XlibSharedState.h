#pragma once

// Sets up, once and on the calling thread, the state that Xlib and its extension libraries share
// between displays and set up or free without a lock. Call it once libmpv and the X libraries it
// brings are loaded, before any of its video outputs opens. Xlib is ready for threads by then:
// libX11 sets that up as it loads, and Qt's X11 plugin asks for it again.
void prepareXlibSharedState();
