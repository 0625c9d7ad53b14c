#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// The process's table of string atoms: one 16-bit value (0xC000-0xFFFF) per distinct string,
// reference-counted and deletable. X11's own atoms can never be deleted, which is why the
// hot keys keep their ids here instead of on the server.
class AtomTable {
public:
    static constexpr std::uint16_t kFirstAtom = 0xC000;
    static constexpr std::size_t kCapacity = 0x10000 - kFirstAtom;
    // In characters of the UTF-8 text, not bytes.
    static constexpr std::size_t kMaxLength = 255;

    AtomTable();

    // The atom of s, adding it or counting one more reference; 0 on failure (see lastError).
    std::uint16_t add(const std::string& s);
    // Drops one reference; the atom is deleted with its last one. False for an unknown atom.
    bool remove(std::uint16_t atom);
    // The atom of s without adding it, or 0.
    std::uint16_t find(const std::string& s) const;
    // The string of an atom, or empty text for an unknown atom.
    std::string name(std::uint16_t atom) const;

    std::size_t size() const { return m_byName.size(); }
    // Platform error code of the last failed call.
    std::uint32_t lastError() const { return m_lastError; }

private:
    struct Slot {
        std::string name;
        std::uint32_t references = 0;
    };

    const Slot* slot(std::uint16_t atom) const;

    std::vector<Slot> m_slots;
    std::unordered_map<std::string, std::uint16_t> m_byName;
    std::size_t m_cursor = 0;
    std::uint32_t m_lastError = 0;
};
