// Preloaded into the program by a test: reads of one file stop answering at a given offset
// and never return, as reads on a network share or a FUSE mount do when its server hangs.
// Reads of every other file pass through. The file and the offset come from
// PELLUCOR_TEST_STALL_FILE and PELLUCOR_TEST_STALL_AFTER.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

namespace {

using ReadFunction = ssize_t (*)(int, void*, size_t);

struct Stall {
    bool active = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t after = 0;
};

const Stall& stall() {
    static const Stall s = [] {
        Stall made;
        const char* file = std::getenv("PELLUCOR_TEST_STALL_FILE");
        const char* after = std::getenv("PELLUCOR_TEST_STALL_AFTER");
        struct stat st {};
        if (file && after && ::stat(file, &st) == 0) {
            made.active = true;
            made.device = st.st_dev;
            made.inode = st.st_ino;
            made.after = static_cast<off_t>(std::strtoll(after, nullptr, 10));
        }
        return made;
    }();
    return s;
}

// How much of this read may be answered; blocks for good where nothing may.
size_t allowed(int fd, size_t count) {
    const Stall& s = stall();
    struct stat st {};
    if (!s.active || ::fstat(fd, &st) != 0 || st.st_dev != s.device || st.st_ino != s.inode)
        return count;
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at < 0 || at + static_cast<off_t>(count) <= s.after)
        return count;
    if (at < s.after)
        return static_cast<size_t>(s.after - at);
    for (;;)
        ::pause();
}

ReadFunction next(const char* name) {
    return reinterpret_cast<ReadFunction>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    static const ReadFunction real = next("read");
    return real(fd, buffer, allowed(fd, count));
}

extern "C" ssize_t __read_chk(int fd, void* buffer, size_t count, size_t /*size*/) {
    static const ReadFunction real = next("read");
    return real(fd, buffer, allowed(fd, count));
}
