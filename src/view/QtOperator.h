#pragma once

#include "Operator.h"
#include "PresentPorts.h"

#include <QString>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace kqvdr {

class FaultDialogs;
class Heartbeat;
class MessageBoxes;

// The person at the panel, asked through modal dialogs that keep the heartbeat running.
class QtOperator final : public Operator {
public:
    QtOperator(QWidget* parent, MessageBoxes& messages, FaultDialogs& faults, Heartbeat& heartbeat,
               std::function<QString()> title);

    MessageAnswer message(const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override;
    bool faultDialog(FaultDialogId dialog, bool deviceError) override;
    PortChoice communicationSettings(const std::string& port) override;
    DeviceIdChoice deviceIdentification() override;
    VapourChoice vapourSensor(int sensitivity, bool notCapable) override;
    SaveLogChoice saveLogDialog(const std::string& directory) override;
    void terminate(int exitCode) override;

    // The application title, the caption of every message box.
    QString title() const { return title_(); }

    // How the program ends; tests replace it.
    std::function<void(int)> onTerminate;
    // The ports the port dialog lists; tests give a device tree of their own.
    std::function<std::vector<PresentPort>()> presentPorts = [] { return presentSerialPorts(); };

    // While set, messages are kept here instead of being shown: a command from a remote client
    // must not wait for a person. A question is answered No.
    struct HeldMessage {
        std::string text;
        MessageIcon icon;
    };
    void holdMessages(std::vector<HeldMessage>* held) { held_ = held; }

private:
    QWidget* parent_;
    MessageBoxes& messages_;
    FaultDialogs& faults_;
    Heartbeat& heartbeat_;
    std::function<QString()> title_;
    std::vector<HeldMessage>* held_ = nullptr;
};

} // namespace kqvdr
