#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets one environment variable (nullptr unsets it) until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name))
            m_saved = old;
        put(value);
    }
    ~ScopedEnv() { put(m_saved ? m_saved->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void put(const char* value) {
        if (value != nullptr) {
            setenv(m_name.c_str(), value, 1);
        } else {
            unsetenv(m_name.c_str());
        }
    }
    std::string m_name;
    std::optional<std::string> m_saved;
};
