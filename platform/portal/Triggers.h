#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The trigger text the desktop's shortcut settings understand ("F3", "CTRL+SHIFT+A") for a
// virtual-key code and the registry's modifier flags (1 Alt, 2 Control, 4 Shift, 8 Super);
// nothing for a key we cannot name.
std::optional<std::string> triggerFor(std::int32_t virtualKey, std::int32_t modifiers);

// The registry names its atoms name + "_" + executable + "_" + tick; this reads the name back,
// or gives the whole text when it does not have that form.
std::string keyNameFromAtom(const std::string& atomText, const std::string& executable);
