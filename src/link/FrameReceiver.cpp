#include "FrameReceiver.h"

#include "Clock.h"
#include "FrameCollector.h"
#include "PortWaiter.h"
#include "SerialDriver.h"

namespace kqvdr {
namespace {

// Counts changes of the wall-clock second since the line fell silent.
class SilenceTimer {
public:
    explicit SilenceTimer(const Clock& clock) : clock_(clock) {}

    void byteReceived() {
        silent_ = false;
        changes_ = 0;
    }

    // True once the second has changed twice since the first empty read.
    bool expiredAfterEmptyRead() {
        const int second = clock_.now().second;
        if (!silent_) {
            silent_ = true;
            notedSecond_ = second;
            return false;
        }
        if (second != notedSecond_) {
            notedSecond_ = second;
            ++changes_;
        }
        return changes_ >= 2;
    }

private:
    const Clock& clock_;
    bool silent_ = false;
    int notedSecond_ = 0;
    int changes_ = 0;
};

// Counts changes of the wall-clock second since the call began, bytes or no bytes.
class CallTimer {
public:
    explicit CallTimer(const Clock& clock) : clock_(clock), notedSecond_(clock.now().second) {}

    bool expired() {
        const int second = clock_.now().second;
        if (second != notedSecond_) {
            notedSecond_ = second;
            ++changes_;
        }
        return changes_ >= FrameReceiver::kMaxSecondChangesPerCall;
    }

private:
    const Clock& clock_;
    int notedSecond_;
    int changes_ = 0;
};

} // namespace

int FrameReceiver::ReceiveFrame(ReplyFrame& reply) {
    FrameCollector collector;
    SilenceTimer silence(clock_);
    CallTimer call(clock_);
    std::size_t bytes = 0;
    while (true) {
        const std::int32_t byte = driver_.ReadByte(kChannel);
        if (byte < 0) {
            if (silence.expiredAfterEmptyRead() || call.expired()) {
                return kReceiveFailed;
            }
            waiter_.WaitForReceive(kIdleWait);
            continue;
        }
        if (++bytes > kMaxBytesPerCall || call.expired()) {
            return kReceiveFailed;
        }
        silence.byteReceived();
        if (const auto body = collector.feed(static_cast<unsigned char>(byte))) {
            return DecodeFrame(*body, reply);
        }
    }
}

} // namespace kqvdr
