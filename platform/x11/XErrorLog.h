#pragma once

// Keeps X errors from ending the process, for every display in it: libmpv's video outputs and
// Qt share Xlib's one error handler and one I/O error handler. An X error is logged (or handed
// to a handler someone installed for a while) and the program goes on; a lost display calls
// endWithoutDisplay, which must end the process at once (_exit), on whichever thread noticed.
// Call it once QApplication is made: it replaces the I/O error handler Qt's X11 plugin installs
// as it connects, which ends the program with exit().
void keepXErrorsFromEndingTheProcess(void (*endWithoutDisplay)());
