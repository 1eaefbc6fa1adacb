#pragma once

namespace kqvdr {

class CMainFrame;
class ControlSession;
class MessageBoxes;
class QtSystemTestWindows;

// Puts the control view into the main frame and connects the frame's commands to it. Returns
// the system test's windows, which remote control drives as well.
QtSystemTestWindows& wireControlSession(ControlSession& session, CMainFrame& frame,
                                        MessageBoxes& messages);

} // namespace kqvdr
