// Preloaded into the program by a test: reads of one file stop answering at a given offset, as
// reads on a network share or a FUSE mount do when its server hangs, or for a while, as on a
// slow share or a USB stick waking up. Reads of every other file pass through.
//   PELLUCOR_TEST_STALL_FILE    the file
//   PELLUCOR_TEST_STALL_AFTER   the offset where its reads stop answering
//   PELLUCOR_TEST_STALL_FOR_MS  if set: the first read there answers after that long, and every
//                               read after it at once; else none answers, ever
//   PELLUCOR_TEST_STALL_ERROR   if set: reads there fail at once with EIO instead, as on a share
//                               whose disk fails or whose server dropped the mount
// The file is looked for until it exists, so a test may make it, and name it, once the process
// is running.
#include <dlfcn.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>

namespace {

using ReadFunction = ssize_t (*)(int, void*, size_t);

struct Stall {
    dev_t device = 0;
    ino_t inode = 0;
    off_t after = 0;
    long forMs = -1;  // for good
    bool fails = false;
};

std::mutex g_lookUp;
std::atomic<bool> g_found{false};
Stall g_stall;  // written once, before g_found
std::atomic<bool> g_stalledOnce{false};

// The stall, once its file exists; nothing before.
const Stall* stall() {
    if (!g_found.load(std::memory_order_acquire)) {
        const std::lock_guard<std::mutex> lock(g_lookUp);
        if (!g_found.load(std::memory_order_relaxed)) {
            const char* file = std::getenv("PELLUCOR_TEST_STALL_FILE");
            const char* after = std::getenv("PELLUCOR_TEST_STALL_AFTER");
            const char* forMs = std::getenv("PELLUCOR_TEST_STALL_FOR_MS");
            struct stat st {};
            if (!file || !after || ::stat(file, &st) != 0)
                return nullptr;
            g_stall.device = st.st_dev;
            g_stall.inode = st.st_ino;
            g_stall.after = static_cast<off_t>(std::strtoll(after, nullptr, 10));
            g_stall.forMs = forMs ? std::strtol(forMs, nullptr, 10) : -1;
            g_stall.fails = std::getenv("PELLUCOR_TEST_STALL_ERROR") != nullptr;
            g_found.store(true, std::memory_order_release);
        }
    }
    return &g_stall;
}

constexpr size_t kFails = ~size_t{0};

// How much of this read may be answered (kFails: none, it fails); blocks for a while or for good
// where nothing may.
size_t allowed(int fd, size_t count) {
    const Stall* s = stall();
    struct stat st {};
    if (!s || ::fstat(fd, &st) != 0 || st.st_dev != s->device || st.st_ino != s->inode)
        return count;
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at < 0 || at + static_cast<off_t>(count) <= s->after)
        return count;
    if (at < s->after)
        return static_cast<size_t>(s->after - at);
    if (s->fails)
        return kFails;
    if (s->forMs >= 0) {
        if (!g_stalledOnce.exchange(true)) {
            timespec left{s->forMs / 1000, (s->forMs % 1000) * 1'000'000};
            while (::nanosleep(&left, &left) != 0) {
            }
        }
        return count;
    }
    for (;;)
        ::pause();
}

ReadFunction next(const char* name) {
    return reinterpret_cast<ReadFunction>(::dlsym(RTLD_NEXT, name));
}

ssize_t readAllowed(int fd, void* buffer, size_t count) {
    static const ReadFunction real = next("read");
    const size_t answered = allowed(fd, count);
    if (answered == kFails) {
        errno = EIO;
        return -1;
    }
    return real(fd, buffer, answered);
}

}  // namespace

extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    return readAllowed(fd, buffer, count);
}

extern "C" ssize_t __read_chk(int fd, void* buffer, size_t count, size_t /*size*/) {
    return readAllowed(fd, buffer, count);
}
