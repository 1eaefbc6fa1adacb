#include "OwnCounters.h"

// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

namespace kqvdr::remote {

std::optional<std::size_t> residentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) {
        return std::nullopt;
    }
    // The commit charge, not the working set: Windows trims a working set when memory runs short
    // or the window is minimised and pages it back as it is touched, growth that no flood made.
    // The commit charge grows only with what the process allocates.
    return counters.PagefileUsage;
}

} // namespace kqvdr::remote
