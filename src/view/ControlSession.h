#pragma once

#include "FaultDialogs.h"
#include "FrameReceiver.h"
#include "Heartbeat.h"
#include "InstrumentLink.h"
#include "InstrumentState.h"
#include "MethodStore.h"
#include "PlatformSerialDriver.h"
#include "QtOperator.h"
#include "StatusPoll.h"
#include "SystemClock.h"
#include "TickHandoffs.h"

#include <QObject>
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
    };

    ControlSession(const Settings& settings, MessageBoxes& messages, std::function<QString()> title,
                   QWidget* dialogParent);
    ~ControlSession() override;

    // Opens the link, starts the heartbeat and asks the instrument for its settings. False
    // when the program must end (the operator was told why, where there is anything to say).
    bool start();

    CKQVDR1000ControlView& view() { return *view_; }
    InstrumentState& state() { return state_; }
    InstrumentLink& link() { return link_; }
    Heartbeat& heartbeat() { return heartbeat_; }
    QtOperator& person() { return person_; }
    MethodStore& methods() { return *methods_; }

private:
    InstrumentState state_;
    PlatformSerialDriver driver_;
    SystemClock clock_;
    FrameReceiver receiver_;
    FaultDialogs faultDialogs_;
    Heartbeat heartbeat_;
    QtOperator person_;
    CKQVDR1000ControlView* view_; // owned by its parent widget once shown in the frame
    InstrumentLink link_;
    InactiveLog log_;
    InactiveRunner automation_;
    InactiveRunner systemTest_;
    std::unique_ptr<StatusPoll> poll_;
    std::filesystem::path programDir_;
    std::unique_ptr<MethodStore> methods_;
};

} // namespace kqvdr
