#pragma once

#include <fstream>
#include <string>

// A "Key:   N kB" field of a /proc file (status, smaps_rollup) in KiB; -1 if missing.
inline long procFieldKiB(const std::string& file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + ":", 0) == 0)
            return std::stol(line.substr(key.size() + 1));
    }
    return -1;
}

// A process's resident memory now, in KiB; -1 if unknown (the process has gone).
inline long rssKiBOf(long pid) {
    return procFieldKiB("/proc/" + std::to_string(pid) + "/status", "VmRSS");
}
