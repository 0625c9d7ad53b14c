#include "ExecutableName.h"

#include <filesystem>
#include <system_error>

std::string fileNameWithoutExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::string runningExecutableName() {
    std::error_code error;
    const auto target = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : fileNameWithoutExtension(target.string());
}
