#pragma once

#include "AutomationEvent.h"
#include "AutomationRunner.h"
#include "FaultDialogs.h"
#include "FrameReceiver.h"
#include "Heartbeat.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "KeepAwake.h"
#include "MethodStore.h"
#include "OperationalLog.h"
#include "PlatformSerialDriver.h"
#include "QtOperator.h"
#include "SessionRecords.h"
#include "SleepInhibitor.h"
#include "StatusPoll.h"
#include "SystemClock.h"
#include "SystemTestRunner.h"
#include "TickHandoffs.h"

#include <QObject>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace kqvdr {

class CKQVDR1000ControlView;
class MessageBoxes;

// Everything the running program owns for the instrument: the state, the serial driver, the
// poll and its heartbeat, the form, and the dialogs that answer for the operator.
class ControlSession : public QObject {
    Q_OBJECT
public:
    struct Settings {
        std::filesystem::path programDir;
        std::optional<std::string> device; // replaces the device behind every port
        // The local time that the log, the automation, the system test and the records go by;
        // the computer's when none is given. Scenario tests run whole nights on one of their own.
        const Clock* clock = nullptr;
        std::chrono::milliseconds tickPeriod = Heartbeat::kPeriod;
        // What keeps the computer awake through a run; the platform's when none is given.
        SleepInhibitor* sleepInhibitor = nullptr;
        // What the serial driver's once-a-second reopening goes by; the computer's when none.
        const SteadyClock* steadyClock = nullptr;
    };

    ControlSession(const Settings& settings, MessageBoxes& messages, std::function<QString()> title,
                   QWidget* dialogParent);
    ~ControlSession() override;

    // Opens the link, starts the heartbeat and asks the instrument for its settings. False
    // when the program must end (the operator was told why, where there is anything to say).
    bool start();
    // The program is ending: no more ticks, the log is closed and the serial port is released.
    void shutdown();

    CKQVDR1000ControlView& view() { return *view_; }
    InstrumentState& state() { return state_; }
    InstrumentLink& link() { return link_; }
    Heartbeat& heartbeat() { return heartbeat_; }
    QtOperator& person() { return person_; }
    MethodStore& methods() { return *methods_; }
    OperationalLog& log() { return log_; }
    AutomationTable& automationTable() { return automationTable_; }
    AutomationRunner& automation() { return automation_; }
    SystemTestRunner& systemTest() { return systemTest_; }
    const Clock& clock() const { return clock_; }
    const std::filesystem::path& programDir() const { return programDir_; }
    // The audit trail, the usage counters and the trends.
    const SessionRecords& records() const { return records_; }
    SessionRecords& records() { return records_; }
    FaultDialogs& faultDialogs() { return faultDialogs_; }
    const KeepAwake& keepAwake() const { return keepAwake_; }
    // What the windows do when the automation ends, before the log is offered for saving.
    void onAutomationStopped(std::function<void()> hook) { automationStopped_ = std::move(hook); }

signals:
    // A second of readings has been added to the trends.
    void trendSampled();

private:
    void reportAuditFailure(const std::string& reason);

    InstrumentState state_;
    PlatformSerialDriver driver_;
    SystemClock wallClock_; // unless the settings bring a clock of their own
    const Clock& clock_;
    SessionRecords records_;
    FrameReceiver receiver_;
    FaultDialogs faultDialogs_;
    Heartbeat heartbeat_;
    QtOperator person_;
    CKQVDR1000ControlView* view_; // owned by its parent widget once shown in the frame
    InstrumentLink link_;
    OperationalLog log_;
    AutomationTable automationTable_; // shared by the automation and the system test
    AutomationRunner automation_;
    std::function<void()> automationStopped_;
    SystemTestRunner systemTest_{state_, records_.driver(), clock_, automationTable_};
    std::unique_ptr<SleepInhibitor> ownSleepInhibitor_; // unless the settings bring one
    KeepAwake keepAwake_;
    std::unique_ptr<StatusPoll> poll_;
    std::filesystem::path programDir_;
    std::unique_ptr<MethodStore> methods_;
    bool shutDown_ = false;
};

} // namespace kqvdr
