#include "OwnCounters.h"

#include <cstdio>
#include <unistd.h>

namespace kqvdr::remote {

std::optional<std::size_t> residentBytes() {
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (file == nullptr) {
        return std::nullopt;
    }
    unsigned long size = 0;
    unsigned long resident = 0;
    const int read = std::fscanf(file, "%lu %lu", &size, &resident);
    std::fclose(file);
    const long page = ::sysconf(_SC_PAGESIZE);
    if (read != 2 || page <= 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(page);
}

} // namespace kqvdr::remote
