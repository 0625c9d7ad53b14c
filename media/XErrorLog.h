#pragma once

// Makes sure an X error in a video output can never end the process. Call it before the first
// video output opens; calling it again does no harm.
void keepXErrorsFromEndingTheProcess();
