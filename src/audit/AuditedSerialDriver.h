#pragma once

#include "MethodRecord.h"
#include "SerialDriver.h"

#include <array>
#include <optional>
#include <string_view>

namespace kqvdr {

class AuditSink;
struct InstrumentState;

// The serial driver as the rest of the program sees it, with every command that changes the
// instrument reported to the audit trail as it goes out. Watching the wire rather than the
// callers means a command is audited whichever part sends it (the panel, the method store, the
// automation, the system test). Old values come from the instrument state as it stands before
// the command takes effect.
class AuditedSerialDriver final : public SerialDriver {
public:
    AuditedSerialDriver(SerialDriver& inner, const InstrumentState& state);

    void setAuditSink(AuditSink* sink) { sink_ = sink; }
    // At the end of every tick: the methods as the program now knows them, so that a download
    // can name what it replaces even when the method store has already changed the table.
    void tickEnded();

    std::int32_t OpenPort(std::int32_t channel, const std::string& port,
                          std::int32_t interruptLevel, std::int32_t baseAddress,
                          std::int32_t baudCode, std::int32_t flowControl,
                          std::int32_t receiveBufferSize, std::int32_t transmitBufferSize,
                          std::int32_t options) override;
    std::int32_t SetPortCharacteristics(std::int32_t channel, std::int32_t dataBits,
                                        std::int32_t parity, std::int32_t stopBitsCode,
                                        std::int32_t breakCode,
                                        std::int32_t handshakeCode) override;
    std::int32_t ClosePort(std::int32_t channel) override;
    std::int32_t WriteBlock(std::int32_t channel, std::int32_t length, const char* bytes) override;
    std::int32_t ReadByte(std::int32_t channel) override;
    std::int32_t IsReceiveEmpty(std::int32_t channel) override;
    std::int32_t ResetReceive(std::int32_t channel) override;

private:
    struct Setpoints {
        std::array<int, 6> values{};
        bool operator==(const Setpoints&) const = default;
    };
    static Setpoints setpointsOf(const MethodRecord& record);
    std::string setpointsText(const Setpoints& setpoints) const;
    void audit(std::string_view frame);
    void auditDownload(const std::array<int, 7>& words);

    SerialDriver& inner_;
    const InstrumentState& state_;
    AuditSink* sink_ = nullptr;
    bool writeFailing_ = false;
    std::array<Setpoints, kMethodCount> tableAtTickEnd_{};
    std::array<std::optional<Setpoints>, kMethodCount> known_{};
};

} // namespace kqvdr
