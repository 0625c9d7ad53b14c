#include "ProcessFigures.h"

#include <dirent.h>
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ProcField.h"

namespace ProcessFigures {

namespace {

int entries(const char* dir) {
    DIR* d = opendir(dir);
    if (!d)
        return -1;
    int n = 0;
    while (const dirent* e = readdir(d)) {
        if (e->d_name[0] != '.')
            ++n;
    }
    closedir(d);
    return n;
}

constexpr double kMiB = 1024.0 * 1024.0;

}  // namespace

long statusKiB(const std::string& key) {
    return procFieldKiB("/proc/self/status", key);
}

long rollupKiB(const std::string& key) {
    return procFieldKiB("/proc/self/smaps_rollup", key);
}

int threads() {
    return entries("/proc/self/task");
}

int openFiles() {
    return entries("/proc/self/fd");
}

Heap heap() {
    const struct mallinfo2 info = mallinfo2();
    Heap h;
    h.systemMiB = static_cast<double>(info.arena) / kMiB;
    h.inUseMiB = static_cast<double>(info.uordblks) / kMiB;
    h.freeMiB = static_cast<double>(info.fordblks) / kMiB;
    h.mmappedMiB = static_cast<double>(info.hblkhd) / kMiB;
    // malloc_info lists one <heap> per arena.
    char* text = nullptr;
    std::size_t size = 0;
    if (FILE* out = open_memstream(&text, &size)) {
        malloc_info(0, out);
        std::fclose(out);
        for (std::string_view rest(text, size); rest.find("<heap nr=") != std::string_view::npos;) {
            rest.remove_prefix(rest.find("<heap nr=") + 1);
            ++h.arenas;
        }
        std::free(text);
    }
    return h;
}

void printMemory(const char* label) {
    const Heap h = heap();
    std::printf(
        "%-34s RSS %4ld MiB (anon %4ld, file %3ld)  heap: from system %6.1f MiB, in use %6.1f, "
        "free %6.1f, mmapped %5.1f, %2d arenas  threads %d  fds %d\n",
        label, statusKiB("VmRSS") / 1024, rollupKiB("Anonymous") / 1024,
        (statusKiB("RssFile") + statusKiB("RssShmem")) / 1024, h.systemMiB, h.inUseMiB, h.freeMiB,
        h.mmappedMiB, h.arenas, threads(), openFiles());
}

}  // namespace ProcessFigures
