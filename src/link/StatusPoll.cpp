#include "StatusPoll.h"

#include "AuditSink.h"
#include "CommandTable.h"
#include "FrameReceiver.h"
#include "FrontPanel.h"
#include "InstrumentState.h"
#include "OperatingMode.h"
#include "Operator.h"
#include "SendCommand.h"
#include "SerialDriver.h"
#include "TickHandoffs.h"

namespace kqvdr {
namespace {

constexpr Lamp kModeLamps[] = {Lamp::Standby, Lamp::Run, Lamp::GasSave, Lamp::Sleep};

constexpr int kSweepCodes[] = {17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 33};

} // namespace

const char* const StatusPoll::kCommunicationErrorText =
    "\nCOMMUNICATION ERROR\n\nA communication error has occurred between KQ-VDR 1000 Control "
    "and the instrument.\n\nPlease ensure :-\n\n    - The KQ-VDR 1000 instrument has power.\n\n"
    "    - The serial cable connecting KQ-VDR 1000 Control to the instrument is in place.\n\n"
    "    - KQ-VDR 1000 Control has been set-up on the correct communications port. ";

const char* const StatusPoll::kLogStoppedForFaultText =
    "\nThe Operational Log has been stopped.\n\nThe instrument reported an error that was not "
    "cleared.\nStart Logging Data once the error has been dealt with.\n ";

void StatusPoll::tick() {
    sweep();
    countSuppression();
    watchdog();
    readReplies();
    showModeLamps();
    followSleepLayout();
    blink();
    handOff();
}

void StatusPoll::send(int commandCode) {
    SendCommand(ports_.driver, state_.deviceId(), commandCode);
}

void StatusPoll::sweep() {
    const int c = state_.sweepCounter++;
    if (c >= kSweepInterval) {
        for (const int code : kSweepCodes) {
            send(code);
        }
        state_.sweepCounter = 0;
        state_.statusAskedSinceModeCommand = state_.commandedMode.has_value();
    }
}

void StatusPoll::countSuppression() {
    if (!state_.faultsSuppressed) {
        return;
    }
    if (state_.suppressCount < kFaultSuppressTicks) {
        ++state_.suppressCount;
    }
    if (state_.suppressCount >= kFaultSuppressTicks) {
        state_.suppressCount = 0;
        state_.faultsSuppressed = false;
    }
}

// Raised by exact equality, so ticks that run nested inside the message, counting on past the
// limit, never raise it a second time. A line that comes back and drops out again while the
// message or the port dialog is open resets the count through its status words; the active
// flag keeps that from stacking a second message on the first.
void StatusPoll::watchdog() {
    if (++state_.watchdogCount != state_.watchdogLimit || state_.commErrorActive) {
        return;
    }
    state_.commErrorActive = true;
    reportAudit(audit_,
                {AuditEventKind::CommunicationError, "", "", "the instrument stopped answering"});
    if (ports_.log.loggingActive()) {
        ports_.log.stopLogging("communication error");
    }
    ports_.person.message(kCommunicationErrorText, MessageIcon::Stop);
    state_.fineGasResolution = false;
    ports_.panel.setGasFlowRange(false);
    ports_.portSettings.communicationSettings();
    state_.commErrorActive = false;
    state_.watchdogLimit = 20;
    state_.watchdogCount = 0;
}

// Only what has arrived is read; a frame still on its way is finished by a later tick.
void StatusPoll::readReplies() {
    FrameReceiver::TickRead tick = ports_.receiver.startTick();
    while (ports_.driver.IsReceiveEmpty(kChannel) == 0) {
        ReplyFrame reply;
        const int result = ports_.receiver.ReceiveFrame(reply, tick);
        if (result == kReceivePending) {
            return;
        }
        if (result == kReceiveFailed) {
            ports_.driver.ResetReceive(kChannel);
            return;
        }
        if (result == kReceivedData) {
            dispatch(reply);
        }
    }
}

void StatusPoll::showModeLamps() {
    const int mode = state_.mode();
    if (mode >= 0 && mode <= 3 && state_.modeChanged) {
        state_.modeChanged = false;
        for (int i = 0; i < 4; ++i) {
            ports_.panel.setLamp(kModeLamps[i], i == mode);
        }
    } else if (mode == modeCode(OperatingMode::Error)) {
        for (const Lamp lamp : kModeLamps) {
            ports_.panel.setLamp(lamp, false);
        }
        send(code(Command::RequestFaultWord));
    }
}

void StatusPoll::followSleepLayout() {
    const int mode = state_.mode();
    if (mode == modeCode(OperatingMode::Sleep) && !state_.sleepLayout) {
        state_.sleepLayout = true;
        ports_.panel.setSleepLayout(true);
    } else if (mode >= 0 && mode <= 2 && state_.sleepLayout) {
        state_.sleepLayout = false;
        ports_.panel.setSleepLayout(false);
    }
}

void StatusPoll::blink() {
    const int mode = state_.mode();
    const bool run = mode == modeCode(OperatingMode::Run);
    const bool gasSave = mode == modeCode(OperatingMode::GasSave);
    if (!run && !gasSave) {
        return;
    }
    const Lamp lamp = run ? Lamp::Run : Lamp::GasSave;
    const auto set = [this, lamp](bool lit) {
        if (ports_.panel.lampLit(lamp) != lit) {
            ports_.panel.setLamp(lamp, lit);
        }
    };
    if (run && state_.readyFlag) {
        set(true);
        return;
    }
    const int c = state_.sweepCounter;
    if (c >= 0 && c <= 4) {
        set(true);
    } else if (c >= 6 && c <= 9) {
        set(false);
    }
}

void StatusPoll::handOff() {
    if (ports_.log.loggingActive()) {
        ports_.log.tick();
    }
    if (ports_.automation.running()) {
        ports_.automation.tick();
    } else if (ports_.systemTest.running()) {
        ports_.systemTest.tick();
    }
}

} // namespace kqvdr
