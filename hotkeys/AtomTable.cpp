#include "AtomTable.h"

#include "PlatformError.h"
#include "Utf8.h"

AtomTable::AtomTable() : m_slots(kCapacity) {}

std::uint16_t AtomTable::add(const std::string& s) {
    if (s.empty()) {
        m_lastError = code(PlatformError::EmptyAtom);
        return 0;
    }
    if (utf8::length(s) > kMaxLength) {
        m_lastError = code(PlatformError::AtomTooLong);
        return 0;
    }
    // Case-sensitive on purpose: the registry builds atom strings from key names it treats as
    // distinct by case, so "stop_..." and "Stop_..." must get different ids.
    if (const auto it = m_byName.find(s); it != m_byName.end()) {
        ++m_slots[it->second - kFirstAtom].references;
        return it->second;
    }
    if (m_byName.size() == kCapacity) {
        m_lastError = code(PlatformError::AtomTableFull);
        return 0;
    }
    // Hand out values round-robin so a freshly deleted id is not reused at once: a late
    // message carrying the old id then cannot be taken for the new owner.
    while (m_slots[m_cursor].references != 0)
        m_cursor = (m_cursor + 1) % kCapacity;
    const auto atom = static_cast<std::uint16_t>(kFirstAtom + m_cursor);
    m_slots[m_cursor] = Slot{s, 1};
    m_byName.emplace(s, atom);
    m_cursor = (m_cursor + 1) % kCapacity;
    return atom;
}

bool AtomTable::remove(std::uint16_t atom) {
    if (slot(atom) == nullptr) {
        m_lastError = code(PlatformError::UnknownAtom);
        return false;
    }
    Slot& s = m_slots[atom - kFirstAtom];
    if (--s.references == 0) {
        m_byName.erase(s.name);
        s.name.clear();
    }
    return true;
}

std::uint16_t AtomTable::find(const std::string& s) const {
    const auto it = m_byName.find(s);
    return it == m_byName.end() ? 0 : it->second;
}

std::string AtomTable::name(std::uint16_t atom) const {
    const Slot* s = slot(atom);
    return s ? s->name : std::string();
}

const AtomTable::Slot* AtomTable::slot(std::uint16_t atom) const {
    if (atom < kFirstAtom)
        return nullptr;
    const Slot& s = m_slots[atom - kFirstAtom];
    return s.references ? &s : nullptr;
}
