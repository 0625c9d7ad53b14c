#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

// A benchmark's command line: "--name value" options and "--name" switches, each with its
// default; anything else is left alone.
class BenchOptions {
public:
    BenchOptions(int argc, char** argv) : m_args(argv + 1, argv + argc) {}

    int integer(const char* name, int fallback, int least) const {
        const std::string* value = valueOf(name);
        return value ? std::max(least, std::atoi(value->c_str())) : fallback;
    }
    double number(const char* name, double fallback, double least) const {
        const std::string* value = valueOf(name);
        return value ? std::max(least, std::atof(value->c_str())) : fallback;
    }
    std::string text(const char* name, const std::string& fallback) const {
        const std::string* value = valueOf(name);
        return value ? *value : fallback;
    }
    bool has(const char* name) const {
        return std::find(m_args.begin(), m_args.end(), name) != m_args.end();
    }

private:
    const std::string* valueOf(const char* name) const {
        const auto it = std::find(m_args.begin(), m_args.end(), name);
        return it != m_args.end() && it + 1 != m_args.end() ? &*(it + 1) : nullptr;
    }

    std::vector<std::string> m_args;
};
