#pragma once

namespace kqvdr {

// Brings the main window of another running process to the front, restored if it was
// minimised. Only Windows lets one program do this for another (and only while the caller is
// in the foreground, as a program the person just started is); elsewhere it does nothing.
// True when a window was found and asked to come forward.
bool bringProcessWindowToFront(long long processId);

} // namespace kqvdr
