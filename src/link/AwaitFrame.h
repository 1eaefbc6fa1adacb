#pragma once

#include "Frame.h"

#include <chrono>

namespace kqvdr {

class FrameReceiver;
class PortWaiter;

// Sleeps on the port until the next whole frame, good or bad, has arrived, for a reader with
// nothing else to do meanwhile (tools, tests). kReceivePending when none came within `limit`.
int awaitFrame(FrameReceiver& receiver, PortWaiter& port, ReplyFrame& reply,
               std::chrono::milliseconds limit);

} // namespace kqvdr
