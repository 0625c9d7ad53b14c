#include "Triggers.h"

std::optional<std::string> triggerFor(std::int32_t virtualKey, std::int32_t modifiers) {
    std::string key;
    if (virtualKey >= 112 && virtualKey <= 135) {
        key = "F" + std::to_string(virtualKey - 111);
    } else if ((virtualKey >= 'A' && virtualKey <= 'Z') ||
               (virtualKey >= '0' && virtualKey <= '9')) {
        key = std::string(1, static_cast<char>(virtualKey));
    } else {
        return std::nullopt;
    }
    if ((modifiers & ~15) != 0)
        return std::nullopt;
    std::string prefix;
    if (modifiers & 2)
        prefix += "CTRL+";
    if (modifiers & 1)
        prefix += "ALT+";
    if (modifiers & 4)
        prefix += "SHIFT+";
    if (modifiers & 8)
        prefix += "LOGO+";
    return prefix + key;
}

std::string keyNameFromAtom(const std::string& atomText, const std::string& executable) {
    const std::size_t tick = atomText.rfind('_');
    if (tick == std::string::npos || tick == 0)
        return atomText;
    const std::string middle = "_" + executable;
    if (tick < middle.size() || atomText.compare(tick - middle.size(), middle.size(), middle) != 0)
        return atomText;
    return atomText.substr(0, tick - middle.size());
}
