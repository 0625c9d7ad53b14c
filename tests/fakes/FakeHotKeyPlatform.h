#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "CallLog.h"
#include "IHotKeyPlatform.h"
#include "Utf8.h"

// Shared by the hot-key fakes, so one log shows platform calls and hook calls in their order.
using HotKeyCallLog = BasicCallLog<std::runtime_error>;

// An in-memory operating system for the hot-key registry. Every call is recorded in the shared
// log as "Name" or "Name(arg,arg)" (numbers in decimal). Platform calls never throw: a refused
// call fails the way the system reports it (0, false or no effect) and sets GetLastError.
class FakeHotKeyPlatform : public IHotKeyPlatform {
public:
    static constexpr std::uint32_t kErrHotKeyAlreadyRegistered = 1409;
    static constexpr std::uint32_t kErrHotKeyNotRegistered = 1419;
    static constexpr std::uint32_t kErrInvalidAtom = 1406;

    explicit FakeHotKeyPlatform(HotKeyCallLog& log) : m_log(log) {}

    std::string executableName = "Pellucor";          // what ExecutableName() answers
    std::uint32_t tickCount = 123456;                 // what GetTickCount() answers
    std::map<std::uint32_t, std::string> errorTexts;  // FormatMessage's texts by code
    bool minimised = false;                           // IsIconic's answer; SendRestore clears it
    std::function<void(HWND)> onRestore;  // runs inside SendRestore, as the window would

    // Refuses the nth call (1 = next) of the named function from now on with the given code.
    void refuse(const std::string& call, std::uint32_t code, int nth = 1) {
        m_refusals.push_back({call, code, nth});
    }
    // Gives the next new atom this value (e.g. 0xFFFF) instead of the lowest free one.
    void forceNextAtom(std::uint16_t atom) { m_forcedAtom = atom; }
    // Marks a key combination as held by another program, so RegisterHotKey refuses it.
    void holdElsewhere(std::int32_t modifiers, std::int32_t virtualKey) {
        m_grabs.push_back({0xFFFFFFFFu, 0, modifiers, virtualKey});
    }

    // Ids registered for hwnd now, in registration order.
    std::vector<std::int32_t> registeredIds(HWND hwnd) const {
        std::vector<std::int32_t> ids;
        for (const Grab& g : m_grabs)
            if (g.hwnd == hwnd)
                ids.push_back(g.id);
        return ids;
    }
    // Atoms alive now, in ascending order.
    std::vector<std::uint16_t> aliveAtoms() const {
        std::vector<std::uint16_t> atoms;
        for (const auto& [name, a] : m_atoms)
            atoms.push_back(a.atom);
        std::sort(atoms.begin(), atoms.end());
        return atoms;
    }
    // The string behind an atom, or nothing when the atom is not alive.
    std::optional<std::string> atomName(std::uint16_t atom) const {
        for (const auto& [name, a] : m_atoms)
            if (a.atom == atom)
                return name;
        return std::nullopt;
    }

    std::string ExecutableName() override {
        m_log.record("ExecutableName");
        return executableName;
    }
    std::uint32_t GetTickCount() override {
        m_log.record("GetTickCount");
        return tickCount;
    }
    std::uint16_t GlobalAddAtom(const std::string& s) override {
        m_log.record("GlobalAddAtom", s);
        if (refused("GlobalAddAtom"))
            return 0;
        if (s.empty() || utf8::length(s) > 255)
            return fail(kErrInvalidAtom, std::uint16_t{0});
        auto it = m_atoms.find(s);
        if (it == m_atoms.end())
            it = m_atoms.emplace(s, Atom{newAtom(), 0}).first;
        ++it->second.refs;
        return it->second.atom;
    }
    void GlobalDeleteAtom(std::uint16_t atom) override {
        m_log.record("GlobalDeleteAtom", atom);
        if (refused("GlobalDeleteAtom"))
            return;
        for (auto it = m_atoms.begin(); it != m_atoms.end(); ++it) {
            if (it->second.atom != atom)
                continue;
            if (--it->second.refs == 0)
                m_atoms.erase(it);
            return;
        }
        fail(kErrInvalidAtom, 0);
    }
    bool RegisterHotKey(HWND hwnd, std::int32_t id, std::int32_t modifiers,
                        std::int32_t virtualKey) override {
        m_log.record("RegisterHotKey", args(hwnd, id, modifiers, virtualKey));
        if (refused("RegisterHotKey"))
            return false;
        for (const Grab& g : m_grabs) {
            const bool sameKey = g.modifiers == modifiers && g.virtualKey == virtualKey;
            if (sameKey || (g.hwnd == hwnd && g.id == id))
                return fail(kErrHotKeyAlreadyRegistered, false);
        }
        m_grabs.push_back({hwnd, id, modifiers, virtualKey});
        return true;
    }
    void UnregisterHotKey(HWND hwnd, std::int32_t id) override {
        m_log.record("UnregisterHotKey", args(hwnd, id));
        if (refused("UnregisterHotKey"))
            return;
        const auto it = std::find_if(m_grabs.begin(), m_grabs.end(),
                                     [&](const Grab& g) { return g.hwnd == hwnd && g.id == id; });
        if (it == m_grabs.end()) {
            fail(kErrHotKeyNotRegistered, 0);
            return;
        }
        m_grabs.erase(it);
    }
    std::uint32_t GetLastError() override {
        m_log.record("GetLastError");
        return m_lastError;
    }
    std::size_t FormatMessage(std::uint32_t code, char* buffer, std::size_t size) override {
        m_log.record("FormatMessage", args(code, size));
        const auto it = errorTexts.find(code);
        if (refused("FormatMessage") || it == errorTexts.end())
            return 0;
        const std::size_t n = std::min(size, it->second.size());
        std::memcpy(buffer, it->second.data(), n);
        return n;
    }
    bool IsIconic(HWND hwnd) override {
        m_log.record("IsIconic", hwnd);
        return !refused("IsIconic") && minimised;
    }
    void SendRestore(HWND hwnd) override {
        m_log.record("SendRestore", hwnd);
        if (refused("SendRestore"))
            return;
        minimised = false;
        if (onRestore)
            onRestore(hwnd);
    }

private:
    struct Refusal {
        std::string call;
        std::uint32_t code;
        int nth;
    };
    struct Atom {
        std::uint16_t atom;
        int refs;
    };
    struct Grab {
        HWND hwnd;
        std::int32_t id;
        std::int32_t modifiers;
        std::int32_t virtualKey;
    };

    template <typename... T>
    static std::string args(T... values) {
        std::string s;
        ((s += (s.empty() ? "" : ",") + std::to_string(values)), ...);
        return s;
    }
    template <typename R>
    R fail(std::uint32_t code, R result) {
        m_lastError = code;
        return result;
    }
    bool refused(const std::string& call) {
        for (auto it = m_refusals.begin(); it != m_refusals.end(); ++it) {
            if (it->call != call || --it->nth > 0)
                continue;
            m_lastError = it->code;
            m_refusals.erase(it);
            return true;
        }
        return false;
    }
    std::uint16_t newAtom() {
        if (m_forcedAtom)
            return std::exchange(m_forcedAtom, std::nullopt).value();
        std::uint16_t atom = 0xC000;
        while (atomName(atom))
            ++atom;
        return atom;
    }

    HotKeyCallLog& m_log;
    std::vector<Refusal> m_refusals;
    std::map<std::string, Atom> m_atoms;
    std::vector<Grab> m_grabs;
    std::optional<std::uint16_t> m_forcedAtom;
    std::uint32_t m_lastError = 0;
};
