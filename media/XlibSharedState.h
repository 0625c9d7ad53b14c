#pragma once

// Sets up, once and on the calling thread, the state that Xlib and its extension libraries share
// between displays and set up or free without a lock. Call it after libmpv is loaded and before
// any player starts.
void prepareXlibSharedState();
