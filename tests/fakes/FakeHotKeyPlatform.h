#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "AtomTable.h"
#include "CallLog.h"
#include "IHotKeyPlatform.h"

// Shared by the hot-key fakes, so one log shows platform calls and hook calls in their order.
using HotKeyCallLog = BasicCallLog<std::runtime_error>;

// An in-memory operating system for the hot-key registry. Every call is recorded in the shared
// log as "Name" or "Name(arg,arg)" (numbers in decimal). Platform calls never throw: a refused
// call fails the way the system reports it (0, false or no effect) and sets GetLastError. Atoms
// come from the program's real atom table.
class FakeHotKeyPlatform : public IHotKeyPlatform {
public:
    explicit FakeHotKeyPlatform(HotKeyCallLog& log) : m_log(log) {}

    std::string executableName = "Pellucor";          // what ExecutableName() answers
    std::uint32_t tickCount = 123456;                 // what GetTickCount() answers
    std::map<std::uint32_t, std::string> errorTexts;  // FormatMessage's texts by code
    bool minimised = false;                           // IsIconic's answer; SendRestore clears it

    // Refuses the next call of the named function with the given code.
    void refuse(const std::string& call, std::uint32_t code) { m_refusals[call] = code; }
    // Gives the next new atom this value (e.g. 0xFFFF) instead of the lowest free one.
    // The table hands out values round-robin: take and free every value before it.
    void forceNextAtom(std::uint16_t atom) {
        std::vector<std::uint16_t> taken;
        for (int i = 0; taken.empty() || (taken.back() != 0 && taken.back() + 1 != atom); ++i)
            taken.push_back(m_atoms.add("forced " + std::to_string(i)));
        for (const std::uint16_t a : taken)
            m_atoms.remove(a);
    }
    // Ids registered now, in registration order.
    std::vector<std::int32_t> registeredIds() const {
        std::vector<std::int32_t> ids;
        for (const Grab& g : m_grabs)
            ids.push_back(g.id);
        return ids;
    }
    // How many atoms are alive now.
    std::size_t atomCount() const { return m_atoms.size(); }

    std::string ExecutableName() override { return answer("ExecutableName", executableName); }
    std::uint32_t GetTickCount() override { return answer("GetTickCount", tickCount); }
    std::uint16_t GlobalAddAtom(const std::string& s) override {
        m_log.record("GlobalAddAtom", s);
        if (refused("GlobalAddAtom"))
            return 0;
        const std::uint16_t atom = m_atoms.add(s);
        if (atom == 0)
            m_lastError = m_atoms.lastError();
        return atom;
    }
    void GlobalDeleteAtom(std::uint16_t atom) override {
        m_log.record("GlobalDeleteAtom", atom);
        if (!refused("GlobalDeleteAtom"))
            m_atoms.remove(atom);
    }
    bool RegisterHotKey(HWND hwnd, std::int32_t id, std::int32_t modifiers,
                        std::int32_t virtualKey) override {
        m_log.record("RegisterHotKey", args(hwnd, id, modifiers, virtualKey));
        if (refused("RegisterHotKey"))
            return false;
        m_grabs.push_back({hwnd, id});
        return true;
    }
    void UnregisterHotKey(HWND hwnd, std::int32_t id) override {
        m_log.record("UnregisterHotKey", args(hwnd, id));
        if (!refused("UnregisterHotKey"))
            std::erase_if(m_grabs, [&](const Grab& g) { return g.hwnd == hwnd && g.id == id; });
    }
    std::uint32_t GetLastError() override { return answer("GetLastError", m_lastError); }
    std::size_t FormatMessage(std::uint32_t code, char* buffer, std::size_t size) override {
        m_log.record("FormatMessage", args(code, size));
        const auto it = errorTexts.find(code);
        if (it == errorTexts.end())
            return 0;
        const std::size_t n = std::min(size, it->second.size());
        std::memcpy(buffer, it->second.data(), n);
        return n;
    }
    bool IsIconic(HWND hwnd) override { return answer("IsIconic", minimised, hwnd); }
    void SendRestore(HWND hwnd) override {
        m_log.record("SendRestore", hwnd);
        minimised = false;
    }

private:
    struct Grab {
        HWND hwnd;
        std::int32_t id;
    };

    // Records the call, with its arguments if any, and gives back what it answers.
    template <typename T, typename... Args>
    T answer(const std::string& call, T value, Args... arguments) {
        if constexpr (sizeof...(Args) == 0)
            m_log.record(call);
        else
            m_log.record(call, args(arguments...));
        return value;
    }
    template <typename... T>
    static std::string args(T... values) {
        std::string s;
        ((s += (s.empty() ? "" : ",") + std::to_string(values)), ...);
        return s;
    }
    bool refused(const std::string& call) {
        const auto it = m_refusals.find(call);
        if (it == m_refusals.end())
            return false;
        m_lastError = it->second;
        m_refusals.erase(it);
        return true;
    }
    HotKeyCallLog& m_log;
    std::map<std::string, std::uint32_t> m_refusals;
    AtomTable m_atoms;
    std::vector<Grab> m_grabs;
    std::uint32_t m_lastError = 0;
};
