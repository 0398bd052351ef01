// The frame memory limit: by default the physical memory available when the toolbox first needs it.
#if defined(_WIN32)
#include "platform/win32.h"
#else
#include <unistd.h>
#endif

#include <atomic>
#include <cstdio>
#include <limits>

#include "sim/toolbox/frame_memory.h"
#include "sim/toolbox/toolbox.h"

namespace qvxtb {

const char* frameMemoryLimitText() {
    return "Unable to allocate memory for an incoming image frame. Use help imaqmem to modify the frame "
           "memory limit.";
}

namespace {

// 0 until fixed: at the first question, or by the caller.
std::atomic<std::size_t> gLimit{0};

// MemAvailable of /proc/meminfo counts what the system can free for us (caches); where there is none,
// the free pages are the closest measure.
std::size_t availableMemory() {
#if defined(_WIN32)
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status) && status.ullAvailPhys > 0 &&
        status.ullAvailPhys < std::numeric_limits<std::size_t>::max())
        return static_cast<std::size_t>(status.ullAvailPhys);
    return std::numeric_limits<std::size_t>::max();
#else
    if (std::FILE* file = std::fopen("/proc/meminfo", "r")) {
        char line[256];
        unsigned long long kilobytes = 0;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, file) != nullptr)
            found = std::sscanf(line, "MemAvailable: %llu kB", &kilobytes) == 1;
        std::fclose(file);
        if (found && kilobytes > 0 && kilobytes < std::numeric_limits<std::size_t>::max() / 1024)
            return static_cast<std::size_t>(kilobytes * 1024);
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
    return std::numeric_limits<std::size_t>::max();
#endif
}

} // namespace

std::size_t frameMemoryLimit() {
    std::size_t limit = gLimit.load();
    if (limit != 0) return limit;
    std::size_t unset = 0;
    const std::size_t measured = availableMemory();
    // Whoever fixes it first wins: a caller's setting, or another thread's measure.
    return gLimit.compare_exchange_strong(unset, measured == 0 ? 1 : measured) ? gLimit.load() : unset;
}

void setFrameMemoryLimit(std::size_t bytes) { gLimit.store(bytes == 0 ? 1 : bytes); }

std::size_t frameMemoryUsed() { return detail::bytesInUse(); }

} // namespace qvxtb
