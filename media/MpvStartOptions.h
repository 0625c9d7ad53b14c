#pragma once

#include <cstdint>

struct mpv_handle;
struct MpvLibrary;

// Sets the options every player starts with on a handle libmpv has not initialised yet: the sound
// outputs and their buffers, the video output for the window it draws into (wid 0: none), the
// decoder's threads, and nothing of the user's own configuration. keepWindow: open the video
// output at once and keep it between files. Throws PlayerError naming what libmpv refused; the
// handle is the caller's to destroy. soundOutputs: audioOutputs(), as the servers are now.
void setStartOptions(const MpvLibrary& lib, mpv_handle* mpv, std::int64_t wid, bool keepWindow,
                     const char* soundOutputs);

// libmpv's sound outputs to try in turn, the first that opens taken: PipeWire's own only where
// PipeWire listens (pipeWireListens).
const char* audioOutputs(bool pipeWireListens);

// The level of libmpv's log that lets through as much as our own category does.
const char* mpvLogLevel();
