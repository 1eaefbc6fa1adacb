#pragma once

#include <optional>

namespace kqvdr {

// Command codes the program sends or decodes.
enum class Command : int {
    SetMode = 0,
    SetDeviceId = 7,
    Autozero = 8,
    SelectMethod = 9,
    HeaterOn = 14,
    HeaterOff = 15,
    ClearFault = 16,
    RequestStatus = 17,
    RequestEvaporatorSetpoint = 18,
    RequestNebuliserSetpoint = 19,
    RequestExhaustTemperature = 20,
    RequestTransferLineSetpoint = 21,
    RequestGasFlowSetpoint = 22,
    RequestMethodNumber = 23,
    RequestDeviceId = 24,
    RequestEvaporatorTemperature = 25,
    RequestNebuliserTemperature = 26,
    RequestGasFlow = 27,
    RequestDetectorOutput = 28,
    RequestAutozeroOffset = 29,
    RequestMethodTable = 30,
    DownloadMethod = 31,
    RequestFaultWord = 32,
    RequestVapourSensitivity = 33,
    SetVapourSensitivity = 34,
    RequestGasFlowResolution = 35,
};

constexpr int code(Command command) {
    return static_cast<int>(command);
}

// Data lengths in hexadecimal digits: of the command frame, and of a data reply with this code.
struct CommandEntry {
    int code;
    int sendDigits;
    int replyDigits;
};

inline constexpr int kHighestCommandCode = 35;

// The entry for a code 0 to 35, or nothing for any other code.
std::optional<CommandEntry> commandEntry(int code);

} // namespace kqvdr
