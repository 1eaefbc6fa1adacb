#include "ParentConsole.h"

#ifdef _WIN32
#include <cstdio>
#include <windows.h>
#endif

namespace kqvdr {

#ifdef _WIN32
namespace {

bool goesSomewhere(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

ParentConsole::ParentConsole() {
    const bool output = goesSomewhere(STD_OUTPUT_HANDLE);
    const bool error = goesSomewhere(STD_ERROR_HANDLE);
    // Attached even when both streams have somewhere to go: console handles handed on by
    // kqvdr1000-control.com are then this program's console too.
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        return;
    }
    previousCodePage_ = GetConsoleOutputCP();
    SetConsoleOutputCP(CP_UTF8);
    // Only the stream that has nowhere to go: "2> err.txt" keeps its file.
    std::FILE* reopened = nullptr;
    if (!output) {
        freopen_s(&reopened, "CONOUT$", "w", stdout);
    }
    if (!error) {
        freopen_s(&reopened, "CONOUT$", "w", stderr);
    }
}

ParentConsole::~ParentConsole() {
    if (previousCodePage_ != 0) {
        std::fflush(stdout);
        std::fflush(stderr);
        SetConsoleOutputCP(previousCodePage_);
    }
}
#else
ParentConsole::ParentConsole() = default;
ParentConsole::~ParentConsole() = default;
#endif

} // namespace kqvdr
