#include "HeapTrim.h"

#include <malloc.h>

namespace kqvdr::remote {

bool HeapTrim::look() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    const struct mallinfo2 info = ::mallinfo2();
    if (info.fordblks + info.fsmblks < kKeptBytes) {
        return false;
    }
    return ::malloc_trim(0) != 0;
#else
    return false;
#endif
}

} // namespace kqvdr::remote
