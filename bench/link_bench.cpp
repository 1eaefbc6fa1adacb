// Frame building and reply decoding. Target: over a million status replies decoded per second on
// one core; the serial line itself delivers fewer than a hundred frames a second.
#include "CommandTable.h"
#include "Frame.h"
#include "FrameCollector.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

namespace {

using namespace kqvdr;

std::string withChecksum(std::string body) {
    unsigned sum = 0;
    for (const char c : body) {
        sum += static_cast<unsigned char>(c);
    }
    char checksum[3];
    std::snprintf(checksum, sizeof checksum, "%02X", sum & 0xFF);
    return body + checksum;
}

void BM_BuildMethodDownload(benchmark::State& state) {
    const std::int16_t data[] = {3, 40, 35, 30, 15, 0, 1};
    std::array<char, kCommandBufferSize> out{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildFrame(5, 31, data, 28, out));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildMethodDownload);

void BM_BuildStatusRequest(benchmark::State& state) {
    std::array<char, kCommandBufferSize> out{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildFrame(0, 17, {}, 0, out));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuildStatusRequest);

void BM_DecodeStatusReply(benchmark::State& state) {
    const std::string body = "001100918C";
    ReplyFrame reply;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeFrame(body, reply));
        benchmark::DoNotOptimize(reply);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeStatusReply);

// The whole path of a status reply from the wire: collecting the bytes, then decoding.
void BM_CollectAndDecodeStatusReply(benchmark::State& state) {
    const std::string wire = "\x02"
                             "001100918C"
                             "\x03";
    ReplyFrame reply;
    FrameCollector collector;
    for (auto _ : state) {
        for (const char c : wire) {
            if (const auto body = collector.feed(static_cast<unsigned char>(c))) {
                benchmark::DoNotOptimize(DecodeFrame(*body, reply));
            }
        }
        benchmark::DoNotOptimize(reply);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CollectAndDecodeStatusReply);

void BM_DecodeMethodTableReply(benchmark::State& state) {
    std::string data;
    for (int i = 0; i < 66; ++i) {
        char word[5];
        std::snprintf(word, sizeof word, "%04X", (i * 37) & 0xFFFF);
        data += word;
    }
    const std::string body = withChecksum("001E" + data); // 270 characters, 272 on the wire
    ReplyFrame reply;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeFrame(body, reply));
        benchmark::DoNotOptimize(reply);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(body.size() + 2));
}
BENCHMARK(BM_DecodeMethodTableReply);

} // namespace
