#pragma once

// Prepares Xlib for the video outputs: for threads, and so that an X error in one can never end
// the process. Call it before the first video output opens; calling it again does no harm.
void keepXErrorsFromEndingTheProcess();
