// The poll's handling of each reply code.
#include "AuditSink.h"
#include "CommandTable.h"
#include "FrontPanel.h"
#include "InstrumentState.h"
#include "Operator.h"
#include "PanelTexts.h"
#include "StatusPoll.h"
#include "TickHandoffs.h"

namespace kqvdr {
namespace {

constexpr unsigned kGreen = 0x00E600;
constexpr unsigned kOrange = 0x007EFD;
constexpr int kHistoryPoints = 60;

} // namespace

void StatusPoll::dispatch(const ReplyFrame& reply) {
    ParameterTable& p = state_.parameters;
    FrontPanel& panel = ports_.panel;
    const int w = reply.words[0];
    const float tenths = static_cast<float>(w * 0.1);
    switch (static_cast<Command>(reply.commandCode)) {
    case Command::RequestStatus:
        onStatusWord(static_cast<std::uint16_t>(reply.words[0]));
        break;
    case Command::RequestEvaporatorSetpoint:
    case Command::RequestNebuliserSetpoint: {
        const bool evaporator = reply.commandCode == code(Command::RequestEvaporatorSetpoint);
        const auto index = evaporator ? ParameterIndex::Evaporator : ParameterIndex::Nebuliser;
        p[index].setpoint = w;
        panel.setText(evaporator ? PanelText::Evaporator : PanelText::Nebuliser,
                      heaterTemperatureText(p.measured(index), w));
        break;
    }
    case Command::RequestTransferLineSetpoint:
        p[ParameterIndex::TransferLine].setpoint = w;
        panel.setText(PanelText::TransferLine, transferLineText(w));
        break;
    case Command::RequestGasFlowSetpoint:
        p[ParameterIndex::GasFlow].setpoint = w;
        panel.setText(PanelText::GasFlow, gasFlowText(panel.gaugeValue(PanelGauge::GasFlow), w,
                                                      state_.fineGasResolution));
        break;
    case Command::RequestExhaustTemperature:
        panel.setGauge(PanelGauge::Exhaust, tenths);
        p[ParameterIndex::Exhaust].measured = w;
        break;
    case Command::RequestEvaporatorTemperature:
        panel.setGauge(PanelGauge::Evaporator, tenths);
        p[ParameterIndex::Evaporator].measured = w;
        break;
    case Command::RequestNebuliserTemperature:
        panel.setGauge(PanelGauge::Nebuliser, tenths);
        p[ParameterIndex::Nebuliser].measured = w;
        break;
    case Command::RequestGasFlow:
        panel.setGauge(PanelGauge::GasFlow,
                       state_.fineGasResolution ? static_cast<float>(w * 0.01) : tenths);
        p[ParameterIndex::GasFlow].measured = w;
        break;
    case Command::RequestMethodNumber:
        onMethodNumber(w);
        break;
    case Command::RequestDeviceId:
        onDeviceId(w);
        break;
    case Command::RequestDetectorOutput:
        onOutput(w);
        break;
    case Command::RequestAutozeroOffset:
        p[ParameterIndex::AutozeroOffset].setpoint = w;
        panel.setText(PanelText::AutozeroOffset, autozeroOffsetText(w));
        break;
    case Command::RequestMethodTable:
        onMethodTable(reply);
        break;
    case Command::RequestFaultWord:
        onFaultWord(static_cast<std::uint16_t>(reply.words[0]));
        break;
    case Command::RequestVapourSensitivity:
        p[ParameterIndex::VapourSensitivity].measured = w;
        state_.notCapable = false;
        break;
    case Command::RequestGasFlowResolution:
        state_.fineGasResolution = w != 0;
        panel.setGasFlowRange(state_.fineGasResolution);
        break;
    default:
        break; // set commands' data replies and unknown codes carry nothing for the panel
    }
}

void StatusPoll::onStatusWord(int word) {
    FrontPanel& panel = ports_.panel;
    const int mode = (word >> 4) & 7;
    if (mode != state_.mode()) {
        state_.parameters[ParameterIndex::OperatingMode].measured = mode;
        state_.modeChanged = true;
    }
    state_.watchdogCount = 0;
    if (state_.statusAskedSinceModeCommand) {
        state_.commandedMode.reset(); // the instrument has had its say on the command
        state_.statusAskedSinceModeCommand = false;
    }

    const bool readyBitCounts = (word & 0xFF80) == 0x0080;
    if (readyBitCounts && (mode == 1 || mode == 2)) {
        panel.setLampOnColour(mode == 1 ? Lamp::Run : Lamp::GasSave, kGreen);
        state_.readyFlag = true;
    } else {
        panel.setLampOnColour(Lamp::Run, kOrange);
        panel.setLampOnColour(Lamp::GasSave, kOrange);
        state_.readyFlag = false;
    }

    const bool heater = (word & 0x8) != 0;
    if (heater != state_.heaterOnFlag) {
        state_.heaterOnFlag = heater;
        panel.setLamp(Lamp::TransferLine, heater);
    }

    state_.busyFlag = (word & 0x4) != 0;
    panel.setLamp(Lamp::Autozero, state_.busyFlag);

    panel.setText(PanelText::TimeConstant, timeConstantText(word & 0x3));
}

void StatusPoll::onMethodNumber(int method) {
    state_.parameters[ParameterIndex::MethodNumber].measured = method;
    if (state_.editorOpen || method < 0 || method >= kMethodCount) {
        return;
    }
    const MethodRecord& record = state_.methods[static_cast<std::size_t>(method)];
    ports_.panel.showMethod(method, record.name, record.description);
}

void StatusPoll::onDeviceId(int id) {
    Parameter& deviceId = state_.parameters[ParameterIndex::DeviceId];
    if (id >= 0 && id <= 127) {
        deviceId.measured = id;
        return;
    }
    if (!state_.deviceIdWarned) {
        state_.deviceIdWarned = true;
        ports_.person.message("Device Id 0 will be used as a non-valid Device Id was read",
                              MessageIcon::Exclamation);
    }
    deviceId.measured = 0;
}

void StatusPoll::onOutput(int millivolts) {
    state_.parameters[ParameterIndex::DetectorOutput].measured = millivolts;
    FrontPanel& panel = ports_.panel;
    panel.setText(PanelText::Output, outputText(millivolts));
    if (state_.showHistory && state_.historyPointCount == kHistoryPoints) {
        panel.clearHistory();
        panel.appendHistoryPoint(static_cast<float>(millivolts));
        state_.historyPointCount = 0;
    } else if (state_.showHistory) {
        panel.appendHistoryPoint(static_cast<float>(millivolts));
        ++state_.historyPointCount;
    } else if (state_.historyPointCount > 0) {
        panel.clearHistory();
        state_.historyPointCount = 0;
    }
}

void StatusPoll::onMethodTable(const ReplyFrame& reply) {
    for (int n = 0; n < kMethodCount; ++n) {
        MethodRecord& record = state_.methods[static_cast<std::size_t>(n)];
        const auto word = [&reply, n](int i) {
            const int index = 6 * n + i;
            return index < reply.wordCount ? reply.words[static_cast<std::size_t>(index)] : 0;
        };
        record.number = n;
        record.evaporatorTemp = word(0);
        record.nebuliserTemp = word(1);
        record.transferLineTemp = word(2);
        record.gasFlow = word(3);
        record.autozeroOffset = word(4);
        record.timeConstant = word(5);
    }
    state_.methodTableReceived = true;
    // Moving the editor's spinner away and back makes the editor reload from the new table.
    FrontPanel& panel = ports_.panel;
    if (panel.methodNumberText() == "0") {
        panel.setMethodSpinner(1.0);
        panel.setMethodSpinner(0.0);
    } else {
        panel.setMethodSpinner(0.0);
        panel.setMethodSpinner(state_.parameters.measured(ParameterIndex::MethodNumber));
    }
}

void StatusPoll::onFaultWord(int word) {
    for (const FaultKind& kind : faultKinds()) {
        if (state_.faultsSuppressed) {
            break;
        }
        if ((word & (1 << kind.index)) == 0) {
            continue;
        }
        FaultDialogFlags& flags = state_.faultDialogs[static_cast<std::size_t>(kind.dialog)];
        if (!flags.showing) {
            if (ports_.log.loggingActive()) {
                state_.currentErrorCode = std::string(kind.openCode);
                ports_.log.writeLineNow();
                state_.faultLineWritten = true;
            }
            reportAudit(audit_,
                        {AuditEventKind::FaultReported, std::string(kind.clearedCode), "", ""});
            flags.showing = true;
            flags.cleared = false;
            if (kind.deviceError) {
                flags.deviceError = true;
            }
            ++state_.faultDialogsOpen;
            flags.cleared = ports_.person.faultDialog(kind.dialog, flags.deviceError);
            --state_.faultDialogsOpen;
        }
        if (flags.cleared) {
            reportAudit(audit_,
                        {AuditEventKind::FaultCleared, std::string(kind.clearedCode), "", ""});
            state_.lastErrorCode = std::string(kind.clearedCode);
            state_.currentErrorCode = " - ";
            state_.faultsSuppressed = true;
            state_.faultLineWritten = false;
            flags.showing = false;
            flags.cleared = false;
            if (kind.deviceError) {
                flags.deviceError = false;
            }
            send(code(Command::ClearFault));
        }
    }
    stopLogIfFaultLeftUncleared();
}

// Ticks run on inside an open fault dialog and read the same fault word; only once no fault
// dialog is open is it known whether the operator cleared the fault, and only an uncleared one
// ends the log.
void StatusPoll::stopLogIfFaultLeftUncleared() {
    if (!ports_.log.loggingActive() || !state_.faultLineWritten || state_.faultDialogsOpen > 0) {
        return;
    }
    state_.faultLineWritten = false; // the mark has done its work; a new log starts clean
    ports_.log.stopLogging("fault not cleared");
    ports_.person.message(kLogStoppedForFaultText, MessageIcon::Exclamation);
}

} // namespace kqvdr
