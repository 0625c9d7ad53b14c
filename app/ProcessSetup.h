#pragma once

// The settings this program makes for the whole process, all of them, in one place.

// Signals, the C allocator, the locale and PipeWire's client configuration. Call it once, first
// thing in main, before QApplication is made; the locale it needs is set as QApplication is made
// (ProcessSetup.cpp says why).
void prepareProcess();

// The Xlib workarounds libmpv's X11 video outputs need (XErrorLog.h, XlibSharedState.h). Call it
// once QApplication is made: it replaces the I/O error handler Qt's X11 plugin has installed.
void installX11Workarounds();

// For players made without this program's main (the whole-program tests and benchmarks): both
// of the above, once, however often it is called. Call it once QApplication is made.
void prepareProcessWithoutMain();
