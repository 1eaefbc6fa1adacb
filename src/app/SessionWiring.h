#pragma once

namespace kqvdr {

class CMainFrame;
class ControlSession;
class MessageBoxes;
class PanelLock;
class QtSystemTestWindows;

// Puts the control view into the main frame and connects the frame's commands to it. Returns
// the system test's windows, which remote control drives as well. With a panel lock, the
// panel's mode, method and test actions ask it first.
QtSystemTestWindows& wireControlSession(ControlSession& session, CMainFrame& frame,
                                        MessageBoxes& messages, PanelLock* panelLock = nullptr);

} // namespace kqvdr
