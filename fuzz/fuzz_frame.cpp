// Any byte stream through the collector and decoder: no out-of-bounds access, and every decoded
// reply keeps to the command table.
#include "CommandTable.h"
#include "Frame.h"
#include "FrameCollector.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kqvdr::FrameCollector collector;
    kqvdr::ReplyFrame reply;
    for (std::size_t i = 0; i < size; ++i) {
        const auto body = collector.feed(data[i]);
        if (!body) {
            continue;
        }
        const int result = kqvdr::DecodeFrame(*body, reply);
        if (body->size() > kqvdr::kMaxFrameBody) {
            std::abort();
        }
        if (result == kqvdr::kReceivedData &&
            reply.wordCount * 4 < kqvdr::commandEntry(reply.commandCode)->replyDigits) {
            std::abort();
        }
    }
    return 0;
}
