#include "HeapTrim.h"

#include <malloc.h>

namespace kqvdr::remote {

// The C library's heap gives back large blocks when they are freed, and decommits free space of
// its own accord once it passes its thresholds; compacting it also coalesces what is left and
// decommits the free ranges below them. Its low-fragmentation buckets stay as they are.
bool HeapTrim::look() {
    return ::_heapmin() == 0;
}

} // namespace kqvdr::remote
