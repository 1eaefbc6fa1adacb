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

} // namespace

int FrameReceiver::ReceiveFrame(ReplyFrame& reply) {
    FrameCollector collector;
    SilenceTimer silence(clock_);
    while (true) {
        const std::int32_t byte = driver_.ReadByte(kChannel);
        if (byte < 0) {
            if (silence.expiredAfterEmptyRead()) {
                return kReceiveFailed;
            }
            waiter_.WaitForReceive(kIdleWait);
            continue;
        }
        silence.byteReceived();
        if (const auto body = collector.feed(static_cast<unsigned char>(byte))) {
            return DecodeFrame(*body, reply);
        }
    }
}

} // namespace kqvdr
