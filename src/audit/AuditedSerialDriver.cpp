#include "AuditedSerialDriver.h"

#include "AuditSink.h"
#include "CommandTable.h"
#include "Frame.h"
#include "InstrumentState.h"

#include <charconv>
#include <cstdio>
#include <vector>

namespace kqvdr {
namespace {

constexpr std::array<const char*, 5> kModeNames = {"Standby", "Run", "Gas Save", "Sleep", "Error"};

std::string modeName(int mode) {
    return mode >= 0 && mode < static_cast<int>(kModeNames.size())
               ? kModeNames[static_cast<std::size_t>(mode)]
               : std::to_string(mode);
}

int hexValue(std::string_view digits) {
    int value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    return error == std::errc() && end == digits.data() + digits.size() ? value : -1;
}

bool audited(int commandCode) {
    switch (static_cast<Command>(commandCode)) {
    case Command::SetMode:
    case Command::SetDeviceId:
    case Command::Autozero:
    case Command::SelectMethod:
    case Command::HeaterOn:
    case Command::HeaterOff:
    case Command::DownloadMethod:
    case Command::SetVapourSensitivity:
        return true;
    default:
        return false;
    }
}

// The frame's code and data as the program built them: one byte for two digits of data, words
// of four digits otherwise. Nothing for anything that is not a whole frame.
struct SentCommand {
    int code = -1;
    std::vector<int> data;
};
SentCommand decodeSent(std::string_view frame) {
    SentCommand sent;
    if (frame.size() < frameLength(0) || frame.front() != kStx || frame.back() != kEtx) {
        return sent;
    }
    const std::string_view body = frame.substr(1, frame.size() - 2);
    const std::string_view data = body.substr(4, body.size() - 6);
    const int code = hexValue(body.substr(2, 2));
    if (!audited(code)) {
        return sent; // the sweep's requests: nothing to decode
    }
    for (std::size_t at = 0; at < data.size(); at += data.size() == 2 ? 2 : 4) {
        const int value = hexValue(data.substr(at, data.size() == 2 ? 2 : 4));
        if (value < 0) {
            return sent;
        }
        sent.data.push_back(data.size() == 2 ? value : static_cast<std::int16_t>(value));
    }
    sent.code = code;
    return sent;
}

} // namespace

AuditedSerialDriver::AuditedSerialDriver(SerialDriver& inner, const InstrumentState& state)
    : inner_(inner), state_(state) {}

AuditedSerialDriver::Setpoints AuditedSerialDriver::setpointsOf(const MethodRecord& record) {
    return {{record.evaporatorTemp, record.nebuliserTemp, record.transferLineTemp, record.gasFlow,
             record.autozeroOffset, record.timeConstant}};
}

std::string AuditedSerialDriver::setpointsText(const Setpoints& s) const {
    const bool fine = state_.fineGasResolution;
    char text[160];
    std::snprintf(text, sizeof text,
                  "evaporator %d C, nebuliser %d C, transfer line %d C, gas %.*f SLM, autozero "
                  "%d mV, time constant %d s",
                  s.values[0], s.values[1], s.values[2], fine ? 2 : 1,
                  s.values[3] * (fine ? 0.01 : 0.1), s.values[4], s.values[5]);
    return text;
}

void AuditedSerialDriver::tickEnded() {
    for (std::size_t n = 0; n < state_.methods.size(); ++n) {
        const Setpoints now = setpointsOf(state_.methods[n]);
        if (now != tableAtTickEnd_[n]) {
            tableAtTickEnd_[n] = now;
            known_[n] = now;
        }
    }
}

void AuditedSerialDriver::auditDownload(const std::array<int, 7>& words) {
    const int number = words[0];
    Setpoints sent;
    std::copy(words.begin() + 1, words.end(), sent.values.begin());
    std::string old;
    if (number >= 0 && number < kMethodCount) {
        auto& known = known_[static_cast<std::size_t>(number)];
        if (known) {
            old = setpointsText(*known);
        }
        known = sent;
    }
    reportAudit(sink_, {AuditEventKind::MethodDownloaded, "method " + std::to_string(number), old,
                        setpointsText(sent)});
}

void AuditedSerialDriver::audit(std::string_view frame) {
    const SentCommand sent = decodeSent(frame);
    const auto first = [&sent] { return sent.data.empty() ? 0 : sent.data.front(); };
    const ParameterTable& p = state_.parameters;
    switch (sent.code) {
    case code(Command::SetMode):
        reportAudit(sink_,
                    {AuditEventKind::ModeCommand, "", modeName(state_.mode()), modeName(first())});
        break;
    case code(Command::SetDeviceId):
        reportAudit(sink_, {AuditEventKind::DeviceIdCommand, "", std::to_string(state_.deviceId()),
                            std::to_string(first())});
        break;
    case code(Command::Autozero):
        reportAudit(sink_, {AuditEventKind::AutozeroCommand, "", "", ""});
        break;
    case code(Command::SelectMethod):
        reportAudit(sink_, {AuditEventKind::MethodSelected, "",
                            std::to_string(p.measured(ParameterIndex::MethodNumber)),
                            std::to_string(first())});
        break;
    case code(Command::HeaterOn):
    case code(Command::HeaterOff):
        reportAudit(sink_, {AuditEventKind::HeaterCommand, "transfer line",
                            state_.heaterOnFlag ? "on" : "off",
                            sent.code == code(Command::HeaterOn) ? "on" : "off"});
        break;
    case code(Command::DownloadMethod):
        if (sent.data.size() == 7) {
            std::array<int, 7> words{};
            std::copy(sent.data.begin(), sent.data.end(), words.begin());
            auditDownload(words);
        }
        break;
    case code(Command::SetVapourSensitivity):
        reportAudit(
            sink_,
            {AuditEventKind::VapourSensitivityCommand, "",
             state_.notCapable ? "" : std::to_string(p.measured(ParameterIndex::VapourSensitivity)),
             std::to_string(first())});
        break;
    default:
        break; // requests and the poll's clear-fault change nothing worth a line of their own
    }
}

std::int32_t AuditedSerialDriver::OpenPort(std::int32_t channel, const std::string& port,
                                           std::int32_t interruptLevel, std::int32_t baseAddress,
                                           std::int32_t baudCode, std::int32_t flowControl,
                                           std::int32_t receiveBufferSize,
                                           std::int32_t transmitBufferSize, std::int32_t options) {
    const std::int32_t result =
        inner_.OpenPort(channel, port, interruptLevel, baseAddress, baudCode, flowControl,
                        receiveBufferSize, transmitBufferSize, options);
    if (result == 0) {
        writeFailing_ = false;
        reportAudit(sink_, {AuditEventKind::PortOpened, port, "", ""});
    } else {
        reportAudit(sink_, {AuditEventKind::CommunicationError, port, "", "port cannot be opened"});
    }
    return result;
}

std::int32_t AuditedSerialDriver::SetPortCharacteristics(std::int32_t channel,
                                                         std::int32_t dataBits, std::int32_t parity,
                                                         std::int32_t stopBitsCode,
                                                         std::int32_t breakCode,
                                                         std::int32_t handshakeCode) {
    return inner_.SetPortCharacteristics(channel, dataBits, parity, stopBitsCode, breakCode,
                                         handshakeCode);
}

std::int32_t AuditedSerialDriver::ClosePort(std::int32_t channel) {
    return inner_.ClosePort(channel);
}

std::int32_t AuditedSerialDriver::WriteBlock(std::int32_t channel, std::int32_t length,
                                             const char* bytes) {
    const std::int32_t result = inner_.WriteBlock(channel, length, bytes);
    if (sink_ == nullptr || length <= 0) {
        return result;
    }
    if (result < 0) {
        // One line for a run of failures, not one per frame of every sweep.
        if (!writeFailing_) {
            writeFailing_ = true;
            reportAudit(sink_, {AuditEventKind::CommunicationError, "", "",
                                "the serial port refused a write"});
        }
        return result;
    }
    writeFailing_ = false;
    audit(std::string_view(bytes, static_cast<std::size_t>(length)));
    return result;
}

std::int32_t AuditedSerialDriver::ReadByte(std::int32_t channel) {
    return inner_.ReadByte(channel);
}

std::int32_t AuditedSerialDriver::IsReceiveEmpty(std::int32_t channel) {
    return inner_.IsReceiveEmpty(channel);
}

std::int32_t AuditedSerialDriver::ResetReceive(std::int32_t channel) {
    return inner_.ResetReceive(channel);
}

} // namespace kqvdr
