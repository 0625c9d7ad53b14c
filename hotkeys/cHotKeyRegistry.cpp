#include "cHotKeyRegistry.h"
