#include "FrameReceiver.h"

#include "SerialDriver.h"

namespace kqvdr {

int FrameReceiver::ReceiveFrame(ReplyFrame& reply) {
    TickRead tick = startTick();
    return ReceiveFrame(reply, tick);
}

int FrameReceiver::ReceiveFrame(ReplyFrame& reply, TickRead& tick) {
    while (clock_.now() < tick.deadline) {
        const std::int32_t byte = driver_.ReadByte(kChannel);
        if (byte < 0) {
            return kReceivePending;
        }
        ++tick.bytesRead;
        if (const auto body = collector_.feed(static_cast<unsigned char>(byte))) {
            const int result = DecodeFrame(*body, reply);
            if (result != kReceiveFailed) {
                tick.bytesInGoodFrames += body->size() + 2;
            }
            return result;
        }
        if (noiseRead(tick) > kNoisePerTick) {
            dropWaiting(tick);
            return kReceiveFailed;
        }
    }
    return kReceivePending;
}

// The frame still being collected may yet prove good, so its bytes are not counted; one carried
// over from an earlier tick makes the count come out low, never high.
std::size_t FrameReceiver::noiseRead(const TickRead& tick) const {
    const std::size_t collecting = collector_.collecting() ? collector_.held() + 1 : 0;
    const std::size_t accounted = tick.bytesInGoodFrames + collecting;
    return tick.bytesRead > accounted ? tick.bytesRead - accounted : 0;
}

void FrameReceiver::dropWaiting(const TickRead& tick) {
    collector_.drop();
    while (clock_.now() < tick.deadline && driver_.ReadByte(kChannel) >= 0) {
    }
}

} // namespace kqvdr
