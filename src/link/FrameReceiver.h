#pragma once

#include "Frame.h"

#include <chrono>

namespace kqvdr {

class Clock;
class PortWaiter;
class SerialDriver;

// Collects and decodes one reply frame from the serial driver. Gives up after one to two
// changes of the wall-clock second without a byte, and sleeps on the port between empty reads
// so that a broken-off frame does not keep a core busy.
class FrameReceiver {
public:
    static constexpr std::chrono::milliseconds kIdleWait{10};

    FrameReceiver(SerialDriver& driver, const Clock& clock, PortWaiter& waiter)
        : driver_(driver), clock_(clock), waiter_(waiter) {}

    // kReceivedData, kReceivedAcknowledgement or kReceiveFailed; never a partial frame.
    int ReceiveFrame(ReplyFrame& reply);

private:
    SerialDriver& driver_;
    const Clock& clock_;
    PortWaiter& waiter_;
};

} // namespace kqvdr
