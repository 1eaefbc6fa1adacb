#pragma once

#include "CommandTable.h"
#include "FakeSerialDriver.h"
#include "Frame.h"
#include "FrameReceiver.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "ManualClock.h"
#include "ManualSteadyClock.h"
#include "RecordingFrontPanel.h"
#include "ScriptedOperator.h"
#include "StatusPoll.h"
#include "TemporaryDirectory.h"
#include "TickHandoffs.h"

#include <array>
#include <vector>

namespace kqvdr::test {

class RecordingLog : public OperationalLogChannel {
public:
    bool loggingActive() const override { return active; }
    void writeLineNow() override { linesNow.push_back(errorCodeSource ? *errorCodeSource : ""); }
    void stopLogging(const std::string& reason) override {
        active = false;
        ++stops;
        stopReasons.push_back(reason);
    }
    void tick() override { order.push_back("log"); }

    bool active = false;
    const std::string* errorCodeSource = nullptr;
    std::vector<std::string> linesNow;
    int stops = 0;
    std::vector<std::string> stopReasons;
    std::vector<std::string> order;
};

class RecordingRunner : public TickRunner {
public:
    RecordingRunner(std::vector<std::string>& order, const char* name)
        : order_(order), name_(name) {}
    bool running() const override { return active; }
    void tick() override { order_.push_back(name_); }
    bool active = false;

private:
    std::vector<std::string>& order_;
    const char* name_;
};

// A fresh program world per test: state, fake line, recording panel, scripted operator, and
// an empty program directory.
struct PollWorld {
    PollWorld() { log.errorCodeSource = &state.currentErrorCode; }

    // A reply frame from the instrument, data of the table's reply length.
    static std::string reply(int commandCode, std::vector<std::int16_t> words) {
        std::array<char, 300> out{};
        const int digits = commandEntry(commandCode)->replyDigits;
        const std::size_t length = BuildFrame(0, commandCode, words, digits, out);
        return std::string(out.data(), length);
    }

    void arrive(int commandCode, std::vector<std::int16_t> words) {
        driver.queueIncoming(reply(commandCode, std::move(words)));
    }

    // Command codes written since the last call, in order.
    std::vector<int> sentCodes() {
        std::vector<int> codes;
        for (const auto& frame : driver.written) {
            codes.push_back(std::stoi(frame.substr(3, 2), nullptr, 16));
        }
        driver.written.clear();
        return codes;
    }

    void ticks(int count) {
        for (int i = 0; i < count; ++i) {
            poll.tick();
        }
    }

    InstrumentState state;
    FakeSerialDriver driver;
    ManualClock clock;
    ManualSteadyClock steadyClock;
    FrameReceiver receiver{driver, steadyClock};
    RecordingFrontPanel panel;
    ScriptedOperator person;
    RecordingLog log;
    RecordingRunner automation{log.order, "automation"};
    RecordingRunner systemTest{log.order, "systemTest"};
    TemporaryDirectory dir;
    InstrumentLink link{state, driver, panel, person, dir.path()};
    StatusPoll poll{state, {driver, receiver, panel, person, link, log, automation, systemTest}};
};

} // namespace kqvdr::test
