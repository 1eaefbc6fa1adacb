#pragma once

#include "StatusPoll.h"

#include <filesystem>

namespace kqvdr {

class FrontPanel;
class Operator;
class SerialDriver;
struct InstrumentState;
struct PortChoice;

// The control view's side of the link: bringing the port up from the port file, changing it,
// and turning the operator's commands into instrument commands. Commands change nothing
// locally; the panel follows only what the instrument reports.
class InstrumentLink final : public PortSettingsCommand {
public:
    InstrumentLink(InstrumentState& state, SerialDriver& driver, FrontPanel& panel,
                   Operator& person, std::filesystem::path programDir);

    // Port file, opening the port, and the line set-up. A port that cannot be opened is
    // reported and asked for again until it opens or the person cancels; then the driver keeps
    // trying it. False when the program has been told to end.
    bool openLink();
    // After the poll's timer runs (and the session has read the method names): the method
    // table, vapour sensitivity and gas-flow resolution requests.
    void requestInstrumentSettings();

    void requestMode(int mode);
    // The same for a remote client, decided from the mode last commanded, as the automation
    // decides: a client may send two modes within one sweep, before the first is reported.
    void commandMode(int mode);
    void autozero();
    void toggleTransferLineHeater();
    // Sent whatever the lamp shows: the lamp lags a command by up to a sweep.
    void setTransferLineHeater(bool on);
    void changeDeviceIdentification();
    void setVapourSensor();
    void communicationSettings() override;

    static const char* const kMessageM2;
    static const char* const kMessageM4;

private:
    void send(int commandCode, std::initializer_list<std::int16_t> data = {});
    void sendTo(int address, int commandCode, std::initializer_list<std::int16_t> data = {});
    bool fail(const char* message);
    void sendMode(int mode);
    void choosePort(const PortChoice& choice);
    void keepPort(const std::string& portText);
    // Opens the active port; one that cannot be opened is reported and the port dialog comes
    // back until it opens (true) or the person cancels (false: the driver keeps trying it).
    bool openChosenPort();

    InstrumentState& state_;
    SerialDriver& driver_;
    FrontPanel& panel_;
    Operator& person_;
    std::filesystem::path programDir_;
};

} // namespace kqvdr
