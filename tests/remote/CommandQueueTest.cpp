#include "CommandQueue.h"

#include "SnapshotBoard.h"

#include <atomic>
#include <future>
#include <gtest/gtest.h>
#include <thread>

namespace kqvdr::remote {
namespace {

using namespace std::chrono_literals;

// Only the queue's carrying is under test; the instrument is never asked for anything.
class NoInstrument final : public RemoteInstrument {
public:
    Outcome setMode(int, const std::string&) override { return {}; }
    Outcome selectMethod(int, const std::string&) override { return {}; }
    Outcome autozero(const std::string&) override { return {}; }
    Outcome setTransferLine(bool, const std::string&) override { return {}; }
    Outcome clearFault(const std::string&) override { return {}; }
    bool fineGasResolution() const override { return false; }
    bool methodsKnown() const override { return false; }
    MethodRecord method(int) const override { return {}; }
    Outcome storeMethod(int, const MethodRecord&, const std::string&) override { return {}; }
    Outcome sendMethod(int, const std::string&) override { return {}; }
    Outcome startSystemTest(const std::string&, const std::string&) override { return {}; }
    int systemTestRun() const override { return 0; }
    bool stopSystemTest(int, const std::string&) override { return false; }
};

// Drains the queue like the tick until the call has come back.
Outcome callWhileTicking(CommandQueue& queue, CommandQueue::Job job, NoInstrument& instrument) {
    auto result = std::async(std::launch::async, [&] { return queue.call(std::move(job)); });
    while (result.wait_for(5ms) != std::future_status::ready) {
        queue.drain(instrument);
    }
    return result.get();
}

TEST(CommandQueue, RunsACallAtTheTickOnTheDrainingThreadAndReturnsItsOutcome) {
    CommandQueue queue;
    NoInstrument instrument;
    const auto tickThread = std::this_thread::get_id();
    std::thread::id ranOn;
    const Outcome outcome = callWhileTicking(
        queue,
        [&](RemoteInstrument&) {
            ranOn = std::this_thread::get_id();
            return Outcome(definedError("x", "refused"));
        },
        instrument);
    EXPECT_EQ(ranOn, tickThread);
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->message, "refused");
}

TEST(CommandQueue, ACallNoTickTakesFailsInTimeAndIsNeverRunLater) {
    CommandQueue queue(4, 50ms);
    NoInstrument instrument;
    std::atomic<bool> ran{false};
    const Outcome outcome = queue.call([&](RemoteInstrument&) {
        ran = true;
        return Outcome{};
    });
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->kind, SilaFailure::Kind::UndefinedExecution);
    queue.drain(instrument);
    EXPECT_FALSE(ran) << "the client was told it failed";
}

TEST(CommandQueue, AFullQueueRefusesAtOnceAndAClosedOneFailsTheWaiting) {
    CommandQueue queue(2, 10s);
    std::vector<std::future<Outcome>> waiting;
    for (int i = 0; i < 2; ++i) {
        waiting.push_back(std::async(std::launch::async, [&] {
            return queue.call([](RemoteInstrument&) { return Outcome{}; });
        }));
    }
    while (queue.pending() < 2) {
        std::this_thread::sleep_for(1ms);
    }
    const auto start = std::chrono::steady_clock::now();
    const Outcome refused = queue.call([](RemoteInstrument&) { return Outcome{}; });
    EXPECT_TRUE(refused.has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    queue.close();
    for (auto& call : waiting) {
        EXPECT_TRUE(call.get().has_value());
    }
    EXPECT_TRUE(queue.call([](RemoteInstrument&) { return Outcome{}; }).has_value());
}

TEST(CommandQueue, ACallMadeFromInsideACallRunsInANestedDrain) {
    // A command may open a window whose own ticks drain the queue again.
    CommandQueue queue;
    NoInstrument instrument;
    std::vector<int> order;
    std::future<Outcome> inner;
    const Outcome outer = callWhileTicking(
        queue,
        [&](RemoteInstrument& self) {
            order.push_back(1);
            inner = std::async(std::launch::async, [&] {
                return queue.call([&](RemoteInstrument&) {
                    order.push_back(2);
                    return Outcome{};
                });
            });
            while (queue.pending() == 0) {
                std::this_thread::sleep_for(1ms);
            }
            queue.drain(self);
            order.push_back(3);
            return Outcome{};
        },
        instrument);
    EXPECT_FALSE(outer.has_value());
    EXPECT_FALSE(inner.get().has_value());
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(SnapshotBoard, OnlyAChangeMakesANewVersionAndWakesTheWaiting) {
    SnapshotBoard board;
    LiveValues values;
    values.mode = "STANDBY";
    board.publish(values);
    const auto first = board.current().version;
    board.publish(values);
    EXPECT_EQ(board.current().version, first) << "the same values again change nothing";
    EXPECT_FALSE(board.waitNewer(first, std::chrono::steady_clock::now() + 20ms));

    auto waiting = std::async(std::launch::async, [&] {
        return board.waitNewer(first, std::chrono::steady_clock::now() + 10s);
    });
    values.mode = "RUN";
    board.publish(values);
    const auto seen = waiting.get();
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->values.mode, "RUN");
    EXPECT_GT(seen->version, first);
}

TEST(SnapshotBoard, ClosingReleasesEveryWaitingReaderAtOnce) {
    SnapshotBoard board;
    board.publish({});
    auto waiting = std::async(std::launch::async, [&] {
        return board.waitNewer(board.current().version, std::chrono::steady_clock::now() + 30s);
    });
    std::this_thread::sleep_for(10ms);
    const auto start = std::chrono::steady_clock::now();
    board.close();
    EXPECT_FALSE(waiting.get().has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_TRUE(board.closed());
}

} // namespace
} // namespace kqvdr::remote
