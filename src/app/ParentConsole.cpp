#include "ParentConsole.h"

#ifdef _WIN32
#include <cstdio>
#include <windows.h>
#endif

namespace kqvdr {

void useParentConsole() {
#ifdef _WIN32
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((output != nullptr && output != INVALID_HANDLE_VALUE) ||
        !AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    std::FILE* reopened = nullptr;
    freopen_s(&reopened, "CONOUT$", "w", stdout);
    freopen_s(&reopened, "CONOUT$", "w", stderr);
#endif
}

} // namespace kqvdr
