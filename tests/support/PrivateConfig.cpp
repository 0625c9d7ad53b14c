#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

// Every test program, and every program it starts, keeps its settings in a folder of its own:
// the developer's ~/.config/pellucor is neither read (a changed speed there would fail the
// tests) nor written. Made before main, so it is in place before any test or Qt reads it.
class PrivateConfig {
public:
    PrivateConfig() {
        const char* temp = getenv("TMPDIR");
        std::string pattern =
            std::string(temp && *temp ? temp : "/tmp") + "/pellucor-config-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("pellucor tests: no private settings folder");
            std::abort();
        }
        m_folder = pattern;
        setenv("XDG_CONFIG_HOME", m_folder.c_str(), 1);
    }
    ~PrivateConfig() {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
        if (error)
            std::fprintf(stderr, "pellucor tests: %s left behind: %s\n", m_folder.c_str(),
                         error.message().c_str());
    }
    PrivateConfig(const PrivateConfig&) = delete;
    PrivateConfig& operator=(const PrivateConfig&) = delete;

private:
    std::string m_folder;
};

const PrivateConfig privateConfig;

}  // namespace
