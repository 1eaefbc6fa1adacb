#include "InstrumentLink.h"

#include "CommandTable.h"
#include "FrontPanel.h"
#include "InstrumentState.h"
#include "OperatingMode.h"
#include "Operator.h"
#include "PortFile.h"
#include "PortName.h"
#include "SendCommand.h"
#include "SerialDriver.h"

#include <span>

namespace kqvdr {
namespace {

#define KQVDR_PORT_ADVICE                                                                          \
    "\n\n\nUn-successful attempts have been made to initialise the\ncommunications port.\n\n\n1. " \
    "Make sure there are no other Windows applications using\n    the port you specified.\n\n2. "  \
    "Make sure your serial communications port is correctly setup\n    with a unique Base "        \
    "Address and IRQ in the Windows Settings.\n "

constexpr int kExitFailure = 1;

const char* const kDamagedPortFileText =
    "\nThe file \"KQ-VDR 1000.ini\", which keeps the communications port, is damaged or names no "
    "port.\n\nPlease choose the port the instrument is connected to.\n ";

const char* reasonText(std::int32_t result) {
    switch (result) {
    case kPortNotPresent:
        return "It is not present on this computer. A USB adapter may be unplugged: plug it "
               "in, and the port is opened as soon as it appears.";
    case kPortInUse:
        return "Another program is using it.";
    case kPortNotSerial:
        return "It is not a serial port.";
    case kPortNotAllowed:
        return "This account is not allowed to use it.";
    default:
        return "It could not be set up.";
    }
}

std::string portCannotBeOpenedText(const std::string& port, std::int32_t result) {
    return "\nThe communications port " + port + " cannot be opened.\n\n" + reasonText(result) +
           "\n\nChoose the port again, or Cancel to go on waiting for this one.\n ";
}

} // namespace

const char* const InstrumentLink::kMessageM2 = "COMMUNICATION ERROR" KQVDR_PORT_ADVICE;
const char* const InstrumentLink::kMessageM4 =
    "Error Setting Port Characteristics." KQVDR_PORT_ADVICE;

#undef KQVDR_PORT_ADVICE

InstrumentLink::InstrumentLink(InstrumentState& state, SerialDriver& driver, FrontPanel& panel,
                               Operator& person, std::filesystem::path programDir)
    : state_(state), driver_(driver), panel_(panel), person_(person),
      programDir_(std::move(programDir)) {}

bool InstrumentLink::fail(const char* message) {
    if (message != nullptr) {
        person_.message(message, MessageIcon::Stop);
    }
    person_.terminate(kExitFailure);
    return false;
}

// A port file that cannot be written (a directory in its place, a read-only folder) would make
// the program ask for the port at every start without saying why.
void InstrumentLink::keepPort(const std::string& portText) {
    if (const auto error = writePortFile(programDir_, portText)) {
        person_.message(std::string("\nThe file \"") + kPortFile +
                            "\" cannot be written in the program directory (" + error.message() +
                            ").\n\nThe port will be asked for again when the program next starts.",
                        MessageIcon::Exclamation);
    }
}

void InstrumentLink::choosePort(const PortChoice& choice) {
    if (const std::optional<std::string> port = portFromText(choice.portText)) {
        state_.activePort = *port;
    }
    keepPort(choice.portText);
}

bool InstrumentLink::openChosenPort() {
    for (;;) {
        const std::int32_t result = openPortWithDefaults(driver_, state_.activePort);
        if (result == 0) {
            return true;
        }
        person_.message(portCannotBeOpenedText(state_.activePort, result),
                        MessageIcon::Exclamation);
        const PortChoice choice = person_.communicationSettings(state_.activePort);
        if (!choice.accepted) {
            return false;
        }
        choosePort(choice);
    }
}

bool InstrumentLink::openLink() {
    state_.parameters[ParameterIndex::DeviceId].measured = 0;
    state_.modeChanged = true;
    state_.fineGasResolution = false;
    panel_.setGasFlowRange(false);
    state_.currentErrorCode = state_.lastErrorCode = " - ";

    const StoredPort stored = readPortFile(programDir_);
    if (stored.status == StoredPort::Status::Port) {
        state_.activePort = stored.port;
    } else {
        const bool damaged = stored.status == StoredPort::Status::Damaged;
        if (damaged) {
            person_.message(kDamagedPortFileText, MessageIcon::Exclamation);
        }
        const PortChoice choice = person_.communicationSettings(kFirstPort);
        if (choice.accepted) {
            choosePort(choice);
        } else if (!damaged) {
            return fail(nullptr);
        } else {
            // As before the file could be damaged: the first port, and the file left alone.
            state_.activePort = kFirstPort;
        }
    }

    // A port that is not there (yet) no longer ends the program: the driver keeps trying it.
    if (openChosenPort() && setDefaultPortCharacteristics(driver_) != 0) {
        return fail(kMessageM2);
    }
    return true;
}

void InstrumentLink::requestInstrumentSettings() {
    send(code(Command::RequestMethodTable));
    state_.notCapable = true;
    send(code(Command::RequestVapourSensitivity));
    send(code(Command::RequestGasFlowResolution));
}

// Runs nested inside the communication-error message as readily as from the menu; it decides
// only from the port chosen, and the driver's own reopening needs nothing from it.
void InstrumentLink::communicationSettings() {
    const PortChoice choice = person_.communicationSettings(state_.activePort);
    if (!choice.accepted) {
        return;
    }
    choosePort(choice);
    if (driver_.ClosePort(kChannel) != 0) {
        fail("\nError Cannot Un-Initialising Communications Port.");
        return;
    }
    if (!openChosenPort()) {
        return;
    }
    if (setDefaultPortCharacteristics(driver_) != 0) {
        fail(kMessageM4);
        return;
    }
    send(code(Command::RequestGasFlowResolution));
}

void InstrumentLink::send(int commandCode, std::initializer_list<std::int16_t> data) {
    sendTo(state_.deviceId(), commandCode, data);
}

void InstrumentLink::sendTo(int address, int commandCode,
                            std::initializer_list<std::int16_t> data) {
    SendCommand(driver_, address, commandCode,
                std::span<const std::int16_t>(data.begin(), data.size()));
}

void InstrumentLink::requestMode(int mode) {
    if (state_.mode() != mode) {
        sendMode(mode);
    }
}

void InstrumentLink::commandMode(int mode) {
    if (state_.expectedMode() != mode) {
        sendMode(mode);
    }
}

void InstrumentLink::sendMode(int mode) {
    if (mode == modeCode(OperatingMode::Sleep)) {
        state_.editorOpen = false;
    }
    send(code(Command::SetMode), {static_cast<std::int16_t>(mode)});
    state_.modeCommanded(mode);
}

void InstrumentLink::autozero() {
    if (state_.mode() == modeCode(OperatingMode::Standby)) {
        person_.message("Cannot Autozero when the KQ- VDR 1000 is in Standby mode.",
                        MessageIcon::Exclamation);
    } else if (state_.busyFlag) {
        person_.message("Cannot Autozero while the KQ- VDR 1000 is busy.",
                        MessageIcon::Exclamation);
    } else {
        send(code(Command::Autozero));
    }
}

void InstrumentLink::toggleTransferLineHeater() {
    setTransferLineHeater(!panel_.lampLit(Lamp::TransferLine));
}

void InstrumentLink::setTransferLineHeater(bool on) {
    send(code(on ? Command::HeaterOn : Command::HeaterOff));
}

void InstrumentLink::changeDeviceIdentification() {
    const DeviceIdChoice choice = person_.deviceIdentification();
    if (!choice.accepted) {
        return;
    }
    sendTo(0, code(Command::SetDeviceId), {static_cast<std::int16_t>(choice.deviceId)});
    sendTo(0, code(Command::RequestDeviceId));
}

void InstrumentLink::setVapourSensor() {
    const VapourChoice choice = person_.vapourSensor(
        state_.parameters.measured(ParameterIndex::VapourSensitivity), state_.notCapable);
    if (choice.accepted) {
        send(code(Command::SetVapourSensitivity), {static_cast<std::int16_t>(choice.sensitivity)});
    }
}

} // namespace kqvdr
