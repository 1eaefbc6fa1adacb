#pragma once

namespace kqvdr {

class CMainFrame;
class ControlSession;
class MessageBoxes;

// Puts the control view into the main frame and connects the frame's commands to it.
void wireControlSession(ControlSession& session, CMainFrame& frame, MessageBoxes& messages);

} // namespace kqvdr
