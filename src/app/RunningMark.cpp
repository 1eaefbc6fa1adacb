#include "RunningMark.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kqvdr {

#ifdef _WIN32
// The installer looks for this name; keep the two in step.
RunningMark::RunningMark() : handle_(CreateMutexW(nullptr, FALSE, L"Global\\KQ-VDR1000 Control")) {}

RunningMark::~RunningMark() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}
#else
RunningMark::RunningMark() = default;
RunningMark::~RunningMark() = default;
#endif

} // namespace kqvdr
