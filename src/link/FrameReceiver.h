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
//
// A device that streams bytes without ever completing a frame would otherwise keep a call
// going for ever, since every byte restarts the silence count: each call also gives up after
// kMaxBytesPerCall bytes, or once the wall-clock second has changed kMaxSecondChangesPerCall
// times since it began. A real frame is at most 272 bytes and takes under 0.3 s at 9600 baud.
class FrameReceiver {
public:
    static constexpr std::chrono::milliseconds kIdleWait{10};
    // Room for a whole frame behind a frame's worth of line noise.
    static constexpr std::size_t kMaxBytesPerCall = 2 * (kMaxFrameBody + 2);
    // One more than the silence limit, so that a frame resumed after a pause still completes.
    static constexpr int kMaxSecondChangesPerCall = 3;

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
