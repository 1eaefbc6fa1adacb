#pragma once

#include "FaultKind.h"
#include "Message.h"

#include <string>

namespace kqvdr {

struct PortChoice {
    bool accepted = false;
    std::string portText; // "COM 12", "/dev/ttyUSB0": a port as the person chose it
};

struct DeviceIdChoice {
    bool accepted = false;
    int deviceId = 0;
};

struct VapourChoice {
    bool accepted = false;
    int sensitivity = 0;
};

struct SaveLogChoice {
    bool accepted = false;
    std::string fullPath; // UTF-8
};

// Whatever needs an answer from a person. Calls are synchronous; in the program they run modal
// dialogs, inside which further poll ticks run nested.
class Operator {
public:
    virtual ~Operator() = default;

    virtual MessageAnswer message(const std::string& text, MessageIcon icon,
                                  MessageButtons buttons = MessageButtons::Ok) = 0;
    // Runs a fault dialog; true when the operator pressed "Clear Error".
    virtual bool faultDialog(FaultDialogId dialog, bool deviceError) = 0;
    // The port dialog, opening at `port` (a port text).
    virtual PortChoice communicationSettings(const std::string& port) = 0;
    virtual DeviceIdChoice deviceIdentification() = 0;
    virtual VapourChoice vapourSensor(int sensitivity, bool notCapable) = 0;
    // The Save Operational Log dialog, starting in `directory` (UTF-8).
    virtual SaveLogChoice saveLogDialog(const std::string& directory) = 0;

    // Ends the program with this exit code; the caller returns at once after it.
    virtual void terminate(int exitCode) = 0;
};

} // namespace kqvdr
