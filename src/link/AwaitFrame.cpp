#include "AwaitFrame.h"

#include "FrameReceiver.h"
#include "PortWaiter.h"

#include <algorithm>

namespace kqvdr {

int awaitFrame(FrameReceiver& receiver, PortWaiter& port, ReplyFrame& reply,
               std::chrono::milliseconds limit) {
    using namespace std::chrono;
    constexpr milliseconds kNap{10};
    const auto deadline = steady_clock::now() + limit;
    while (true) {
        const int result = receiver.ReceiveFrame(reply);
        if (result != kReceivePending) {
            return result;
        }
        const auto left = duration_cast<milliseconds>(deadline - steady_clock::now());
        if (left.count() <= 0) {
            return kReceivePending;
        }
        port.WaitForReceive(std::min(left, kNap));
    }
}

} // namespace kqvdr
