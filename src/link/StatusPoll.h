#pragma once

#include "Frame.h"

#include <cstdint>

namespace kqvdr {

class AuditSink;
class FrameReceiver;
class FrontPanel;
class OperationalLogChannel;
class Operator;
class SerialDriver;
class TickRunner;
struct InstrumentState;

// The Communication Settings command, which the poll runs after a communication error.
class PortSettingsCommand {
public:
    virtual ~PortSettingsCommand() = default;
    virtual void communicationSettings() = 0;
};

inline constexpr int kSweepInterval = 10; // a sweep goes out on every eleventh tick
inline constexpr int kFaultSuppressTicks = 20;

// One pass of the 100 ms heartbeat: requests the readings, decodes every reply that has
// arrived into the instrument state and the front panel, raises fault dialogs and the
// communication error, and hands the tick on. Safe to re-enter from inside the dialogs it opens.
class StatusPoll {
public:
    struct Ports {
        SerialDriver& driver;
        FrameReceiver& receiver;
        FrontPanel& panel;
        Operator& person;
        PortSettingsCommand& portSettings;
        OperationalLogChannel& log;
        TickRunner& automation;
        TickRunner& systemTest;
    };

    StatusPoll(InstrumentState& state, const Ports& ports) : state_(state), ports_(ports) {}

    void tick();
    // Faults reported and cleared, and communication errors, go here when set.
    void setAuditSink(AuditSink* sink) { audit_ = sink; }

    // The watchdog's message after two seconds without a status word.
    static const char* const kCommunicationErrorText;
    // Said once when a fault dialog closed without "Clear Error" has ended the log.
    static const char* const kLogStoppedForFaultText;

private:
    void sweep();
    void countSuppression();
    void watchdog();
    void readReplies();
    void dispatch(const ReplyFrame& reply);
    void showModeLamps();
    void followSleepLayout();
    void blink();
    void handOff();

    void onStatusWord(int word);
    void onMethodNumber(int method);
    void onDeviceId(int id);
    void onOutput(int millivolts);
    void onMethodTable(const ReplyFrame& reply);
    void onFaultWord(int word);
    void stopLogIfFaultLeftUncleared();
    void send(int commandCode);

    InstrumentState& state_;
    Ports ports_;
    AuditSink* audit_ = nullptr;
};

} // namespace kqvdr
