#pragma once

// When the X server or the compositor goes away, Qt reports it and exits the process, which
// runs the exit handlers while libmpv's threads still work on a display that is gone. This
// watches Qt's messages for that report and ends the process at once, quietly, with code 1.
void endQuietlyWhenTheDisplayGoes();
