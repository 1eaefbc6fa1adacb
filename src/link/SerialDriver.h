#pragma once

#include <cstdint>
#include <string>

namespace kqvdr {

// The serial line as the program uses it: seven operations, each taking the channel first.
// Results: 0 means success for the port operations; ReadByte gives -1 when nothing is waiting;
// IsReceiveEmpty gives 0 when at least one byte is waiting. ReadByte and IsReceiveEmpty never
// block. Only channel 0 exists. A port is named by its text ("COM 3", "/dev/ttyUSB0").
class SerialDriver {
public:
    virtual ~SerialDriver() = default;

    virtual std::int32_t OpenPort(std::int32_t channel, const std::string& port,
                                  std::int32_t interruptLevel, std::int32_t baseAddress,
                                  std::int32_t baudCode, std::int32_t flowControl,
                                  std::int32_t receiveBufferSize, std::int32_t transmitBufferSize,
                                  std::int32_t options) = 0;
    virtual std::int32_t SetPortCharacteristics(std::int32_t channel, std::int32_t dataBits,
                                                std::int32_t parity, std::int32_t stopBitsCode,
                                                std::int32_t breakCode,
                                                std::int32_t handshakeCode) = 0;
    virtual std::int32_t ClosePort(std::int32_t channel) = 0;
    virtual std::int32_t WriteBlock(std::int32_t channel, std::int32_t length,
                                    const char* bytes) = 0;
    virtual std::int32_t ReadByte(std::int32_t channel) = 0;
    virtual std::int32_t IsReceiveEmpty(std::int32_t channel) = 0;
    virtual std::int32_t ResetReceive(std::int32_t channel) = 0;
};

inline constexpr std::int32_t kChannel = 0;

// The constants every caller passes; baud code 9 is 9600 baud.
struct OpenPortConstants {
    static constexpr std::int32_t interruptLevel = 0;
    static constexpr std::int32_t baseAddress = 0;
    static constexpr std::int32_t baudCode = 9;
    static constexpr std::int32_t flowControl = 0;
    static constexpr std::int32_t receiveBufferSize = 9000;
    static constexpr std::int32_t transmitBufferSize = 9000;
    static constexpr std::int32_t options = 0;
};

// 8 data bits, no parity; the remaining three codes select one stop bit, no break and no
// handshake lines.
struct PortCharacteristicsConstants {
    static constexpr std::int32_t dataBits = 8;
    static constexpr std::int32_t parity = 0;
    static constexpr std::int32_t stopBitsCode = 3;
    static constexpr std::int32_t breakCode = 0;
    static constexpr std::int32_t handshakeCode = 4;
};

// Why OpenPort failed, where a driver can tell; any other non-zero result is a failure too.
enum OpenPortFailure : std::int32_t {
    kPortNotPresent = -2, // no such device: an adapter unplugged, a port the computer lacks
    kPortInUse = -3,      // another program holds it
    kPortNotSerial = -4,  // a file or device that is no serial line
    kPortNotAllowed = -5, // this account may not open it
};

// OpenPort and SetPortCharacteristics with the constants above.
std::int32_t openPortWithDefaults(SerialDriver& driver, const std::string& port);
std::int32_t setDefaultPortCharacteristics(SerialDriver& driver);

} // namespace kqvdr
