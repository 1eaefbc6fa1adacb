#pragma once

#include "Operator.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kqvdr::test {

// Answers for the person at the panel. Hooks let a test run poll ticks "inside" a dialog, as
// the program's modal loops do.
class ScriptedOperator : public Operator {
public:
    struct Shown {
        std::string text;
        MessageIcon icon;
    };

    MessageAnswer message(const std::string& text, MessageIcon icon,
                          MessageButtons buttons) override {
        messages.push_back({text, icon});
        if (whileMessage) {
            whileMessage();
        }
        return buttons == MessageButtons::YesNo ? yesNoAnswer : MessageAnswer::Ok;
    }
    bool faultDialog(FaultDialogId dialog, bool deviceError) override {
        faultDialogs.push_back({dialog, deviceError});
        if (whileFaultDialog) {
            whileFaultDialog();
        }
        return clearFaults;
    }
    PortChoice communicationSettings(const std::string& port) override {
        portDialogs.push_back(port);
        if (whilePortDialog) {
            whilePortDialog();
        }
        if (portChoices.empty()) {
            return {false, ""};
        }
        const PortChoice choice = portChoices.front();
        portChoices.pop_front();
        return choice;
    }
    DeviceIdChoice deviceIdentification() override { return deviceIdChoice; }
    VapourChoice vapourSensor(int sensitivity, bool notCapable) override {
        vapourDialogs.push_back({sensitivity, notCapable});
        return vapourChoice;
    }
    SaveLogChoice saveLogDialog(const std::string& directory) override {
        saveLogDialogs.push_back(directory);
        if (whileSaveLogDialog) {
            whileSaveLogDialog();
        }
        return saveLogChoice;
    }
    void terminate(int exitCode) override { exitCodes.push_back(exitCode); }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const Shown& shown : messages) {
            texts.push_back(shown.text);
        }
        return texts;
    }

    std::vector<Shown> messages;
    std::vector<std::pair<FaultDialogId, bool>> faultDialogs;
    std::vector<std::string> portDialogs; // the port each dialog opened at
    std::deque<PortChoice> portChoices;
    std::vector<std::pair<int, bool>> vapourDialogs;
    std::vector<int> exitCodes;
    DeviceIdChoice deviceIdChoice;
    VapourChoice vapourChoice;
    std::vector<std::string> saveLogDialogs;
    SaveLogChoice saveLogChoice;
    bool clearFaults = true;
    MessageAnswer yesNoAnswer = MessageAnswer::Yes;
    std::function<void()> whileMessage;
    std::function<void()> whileFaultDialog;
    std::function<void()> whilePortDialog;
    std::function<void()> whileSaveLogDialog;
};

} // namespace kqvdr::test
