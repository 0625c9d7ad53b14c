#pragma once

#include "SessionChoice.h"

// Reads the environment and asks the X server and the compositor whether they answer, without
// starting Qt (which aborts when its display is missing).
SessionFacts probeSession();
