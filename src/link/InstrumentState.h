#pragma once

#include "FaultKind.h"
#include "MethodRecord.h"
#include "ParameterTable.h"

#include <array>
#include <optional>
#include <string>

namespace kqvdr {

// The flags of one fault dialog, as the poll drives them.
struct FaultDialogFlags {
    bool showing = false;
    bool cleared = false;
    bool deviceError = false; // vapour dialog only: the sensor-device variant
};

// Everything the program knows of the instrument and its link; owned by the application and
// shared by reference with the poll, the commands and the widgets.
struct InstrumentState {
    ParameterTable parameters;
    MethodTable methods{};

    // The serial port in use, as its text ("COM 1", "COM 12", "/dev/ttyUSB0"); it also names the
    // operational log file.
    std::string activePort = "COM 1";

    // Poll state, with the values the view starts with.
    int sweepCounter = 0;
    int watchdogCount = 0;
    int watchdogLimit = 20;
    bool faultsSuppressed = false;
    int suppressCount = 0;
    bool modeChanged = true;
    bool readyFlag = false;
    bool busyFlag = false;
    bool heaterOnFlag = false;
    bool commErrorActive = false;
    bool deviceIdWarned = false;
    bool sleepLayout = false;

    bool notCapable = false;
    bool fineGasResolution = false;
    bool methodTableReceived = false; // the instrument has sent its setpoints at least once
    bool editorOpen = false;

    std::string currentErrorCode = " - ";
    std::string lastErrorCode = " - ";
    bool faultLineWritten = false;
    int faultDialogsOpen = 0; // fault dialogs in their modal loop now, nested ticks and all
    std::array<FaultDialogFlags, kFaultDialogCount> faultDialogs{};

    // Output monitor.
    bool showHistory = false;
    int historyPointCount = 0;

    int deviceId() const { return parameters.measured(ParameterIndex::DeviceId); }
    // A status word has come within the watchdog's limit and no communication error is up.
    bool answering() const { return !commErrorActive && watchdogCount < watchdogLimit; }
    int mode() const { return parameters.measured(ParameterIndex::OperatingMode); }

    // The reported mode lags a mode command by up to a sweep. Until a status word asked for
    // after the command has come back, the commanded mode is the one to decide by.
    std::optional<int> commandedMode;
    bool statusAskedSinceModeCommand = false;
    int expectedMode() const { return commandedMode.value_or(mode()); }
    void modeCommanded(int commanded) {
        commandedMode = commanded;
        statusAskedSinceModeCommand = false;
    }
};

} // namespace kqvdr
