#pragma once

#include <cstddef>

namespace kqvdr::remote {

// Gives memory the allocator keeps after a burst back to the system. A flood of calls (HTTP/2
// rapid reset: streams opened and cancelled at once) leaves hundreds of megabytes freed but held
// by malloc for good; the program's own use is a few tens.
class HeapTrim {
public:
    // Freed memory the allocator may keep before it is asked to give it back.
    static constexpr std::size_t kKeptBytes = 16 * 1024 * 1024;

    // True when memory was given back.
    static bool look();
};

} // namespace kqvdr::remote
