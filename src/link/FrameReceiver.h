#pragma once

#include "Frame.h"
#include "FrameCollector.h"
#include "SystemSteadyClock.h"

#include <chrono>
#include <cstddef>

namespace kqvdr {

class SerialDriver;

// Cuts reply frames out of what the line has delivered, without ever waiting for more: a frame
// that has only partly arrived stays in the assembler for a later call. A tick therefore costs
// no more than reading what is there, whatever the line does, and the watchdog, which counts
// ticks, sees a line that streams without frames as it sees a silent one.
//
// Each tick reads for at most kReadTimePerTick. Bytes that belong to no good frame are noise;
// once a tick has read more than a frame's worth of it, whatever else is waiting is dropped, so
// that a backlog of noise cannot delay the replies behind it.
class FrameReceiver {
public:
    // A 9600-baud line brings a byte a millisecond; only a far faster stream meets this.
    static constexpr std::chrono::milliseconds kReadTimePerTick{5};
    static constexpr std::size_t kNoisePerTick = kMaxFrameBody + 2;

    // One tick's share of the line. Each tick takes its own, so that a tick nested inside a
    // dialog that an outer tick opened neither uses up nor extends the outer one's share.
    struct TickRead {
        std::chrono::steady_clock::time_point deadline;
        std::size_t bytesRead = 0;
        std::size_t bytesInGoodFrames = 0;
    };

    explicit FrameReceiver(SerialDriver& driver) : driver_(driver), clock_(systemClock_) {}
    FrameReceiver(SerialDriver& driver, const SteadyClock& clock)
        : driver_(driver), clock_(clock) {}
    FrameReceiver(const FrameReceiver&) = delete;
    FrameReceiver& operator=(const FrameReceiver&) = delete;

    TickRead startTick() const { return {clock_.now() + kReadTimePerTick}; }

    // kReceivedData or kReceivedAcknowledgement for a whole good frame; kReceiveFailed for a bad
    // one, or when noise was dropped; kReceivePending when nothing whole has arrived or the
    // tick's time is used up. Never a partial frame.
    int ReceiveFrame(ReplyFrame& reply, TickRead& tick);
    // The same with an allowance of its own, for a reader outside the poll.
    int ReceiveFrame(ReplyFrame& reply);

private:
    std::size_t noiseRead(const TickRead& tick) const;
    void dropWaiting(const TickRead& tick);

    SerialDriver& driver_;
    SystemSteadyClock systemClock_;
    const SteadyClock& clock_;
    FrameCollector collector_;
};

} // namespace kqvdr
