#include "HotKeyBook.h"

#include <algorithm>
#include <cstring>
#include <string_view>

std::uint16_t HotKeyBook::addAtom(const std::string& s) {
    const std::uint16_t atom = m_atoms.add(s);
    if (atom == 0)
        m_lastError = m_atoms.lastError();
    return atom;
}

void HotKeyBook::deleteAtom(std::uint16_t atom) {
    if (!m_atoms.remove(atom))
        m_lastError = m_atoms.lastError();
}

bool HotKeyBook::fail(PlatformError error) {
    m_lastError = code(error);
    return false;
}

std::size_t HotKeyBook::formatMessage(std::uint32_t errorCode, char* buffer, std::size_t size) {
    const std::string_view text = platformErrorText(errorCode);
    // An unknown code has no text, and no text to copy from.
    const std::size_t n = std::min(text.size(), size);
    if (n > 0)
        std::memcpy(buffer, text.data(), n);
    return n;
}

std::int32_t hotKeyLParam(std::int32_t virtualKey, std::int32_t modifiers) {
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(virtualKey) << 16) |
                                     static_cast<std::uint32_t>(modifiers));
}
