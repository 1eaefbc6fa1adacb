#include "ProcessWindow.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace kqvdr {

#ifdef _WIN32

namespace {

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    // The main window: the process's own, visible, and owned by no other window.
    if (owner != search->processId || !::IsWindowVisible(window) ||
        ::GetWindow(window, GW_OWNER) != nullptr) {
        return TRUE;
    }
    search->found = window;
    return FALSE;
}

} // namespace

bool bringProcessWindowToFront(long long processId) {
    Search search{static_cast<DWORD>(processId), nullptr};
    ::EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return false;
    }
    // A modal message of that program is what the person must see; it sits above the window.
    HWND popup = ::GetLastActivePopup(search.found);
    if (::IsIconic(search.found)) {
        ::ShowWindow(search.found, SW_RESTORE);
    }
    ::SetForegroundWindow(popup != nullptr ? popup : search.found);
    return true;
}

#else

bool bringProcessWindowToFront(long long) {
    return false;
}

#endif

} // namespace kqvdr
