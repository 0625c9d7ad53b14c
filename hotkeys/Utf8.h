#pragma once

#include <cstddef>
#include <string>

// Character counting for UTF-8 text: every byte that is not a continuation byte (10xxxxxx)
// starts a character, so malformed text is still counted and cut without throwing.
namespace utf8 {

inline bool startsCharacter(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

inline std::size_t length(const std::string& text) {
    std::size_t count = 0;
    for (const char byte : text) {
        if (startsCharacter(byte))
            ++count;
    }
    return count;
}

// The first `count` characters of text; a character is never split.
inline std::string prefix(const std::string& text, std::size_t count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (startsCharacter(text[i]) && seen++ == count)
            return text.substr(0, i);
    }
    return text;
}

}  // namespace utf8
