#pragma once

// Sends the hot-key registry's warnings to the Qt logging category pellucor.hotkeys.
void routeHotKeyWarnings();
