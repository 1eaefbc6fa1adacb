#include "QtOperator.h"

#include "CComSettingsDlg.h"
#include "CEditDevIdDlg.h"
#include "CSaveLogDlg.h"
#include "CVapourSensorDlg.h"
#include "FaultDialogs.h"
#include "Heartbeat.h"
#include "MessageBoxes.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

namespace kqvdr {

QtOperator::QtOperator(QWidget* parent, MessageBoxes& messages, FaultDialogs& faults,
                       Heartbeat& heartbeat, std::function<QString()> title)
    : parent_(parent), messages_(messages), faults_(faults), heartbeat_(heartbeat),
      title_(std::move(title)) {
    onTerminate = [](int exitCode) {
        std::fflush(nullptr);
        std::exit(exitCode);
    };
}

MessageAnswer QtOperator::message(const std::string& text, MessageIcon icon,
                                  MessageButtons buttons) {
    if (held_ != nullptr) {
        held_->push_back({text, icon});
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    MessageAnswer answer = MessageAnswer::Ok;
    heartbeat_.runModal([&] {
        answer = messages_.show(parent_, {title_().toStdString(), text, icon, buttons});
    });
    return answer;
}

bool QtOperator::faultDialog(FaultDialogId dialog, bool deviceError) {
    bool cleared = false;
    heartbeat_.runModal([&] { cleared = faults_.run(dialog, deviceError); });
    return cleared;
}

PortChoice QtOperator::communicationSettings(const std::string& port) {
    PortChoice choice;
    heartbeat_.runModal([&] {
        CComSettingsDlg dialog(title_(), QString::fromStdString(port), presentPorts(), messages_,
                               parent_);
        choice.accepted = dialog.exec() == QDialog::Accepted;
        choice.portText = dialog.portText().toStdString();
    });
    return choice;
}

DeviceIdChoice QtOperator::deviceIdentification() {
    DeviceIdChoice choice;
    heartbeat_.runModal([&] {
        CEditDevIdDlg dialog(title_(), messages_, parent_);
        choice.accepted = dialog.exec() == QDialog::Accepted;
        choice.deviceId = dialog.deviceId();
    });
    return choice;
}

VapourChoice QtOperator::vapourSensor(int sensitivity, bool notCapable) {
    VapourChoice choice;
    heartbeat_.runModal([&] {
        CVapourSensorDlg dialog(title_(), sensitivity, notCapable, messages_, parent_);
        choice.accepted = dialog.exec() == QDialog::Accepted;
        choice.sensitivity = dialog.sensitivity();
    });
    return choice;
}

SaveLogChoice QtOperator::saveLogDialog(const std::string& directory) {
    SaveLogChoice choice;
    heartbeat_.runModal([&] {
        CSaveLogDlg dialog(title_(), QString::fromStdString(directory), parent_);
        dialog.exec();
        choice = dialog.choice();
    });
    return choice;
}

void QtOperator::terminate(int exitCode) {
    onTerminate(exitCode);
}

} // namespace kqvdr
