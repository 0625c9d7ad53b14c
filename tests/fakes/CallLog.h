#pragma once

#include <optional>
#include <sstream>
#include <string>
#include <vector>

// One ordered record of calls shared by several fakes, so a test sees the order across them.
// It can be told to fail one call: the first one with a given name, or the call at a given
// position (0-based) in the log. The failing call is recorded before it throws.
template <typename Error>
class BasicCallLog {
public:
    std::vector<std::string> calls;

    void failOn(std::string name) { m_failName = std::move(name); }
    void failAt(std::size_t index) { m_failIndex = index; }
    void clear() {
        calls.clear();
        m_failName.reset();
        m_failIndex.reset();
    }

    // Records "name" or "name(arg)" and throws when this is the call to fail.
    template <typename Arg>
    void record(const std::string& name, const Arg& arg) {
        std::ostringstream s;
        s << name << '(' << arg << ')';
        push(name, s.str());
    }
    void record(const std::string& name) { push(name, name); }

private:
    void push(const std::string& name, std::string entry) {
        const std::size_t index = calls.size();
        calls.push_back(std::move(entry));
        const bool byName = m_failName && *m_failName == name;
        const bool byIndex = m_failIndex && *m_failIndex == index;
        if (byName || byIndex) {
            m_failName.reset();
            m_failIndex.reset();
            throw Error("injected failure of " + name);
        }
    }

    std::optional<std::string> m_failName;
    std::optional<std::size_t> m_failIndex;
};
