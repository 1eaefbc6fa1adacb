#include "SerialDriver.h"

namespace kqvdr {

std::int32_t openPortWithDefaults(SerialDriver& driver, const std::string& port) {
    using C = OpenPortConstants;
    return driver.OpenPort(kChannel, port, C::interruptLevel, C::baseAddress, C::baudCode,
                           C::flowControl, C::receiveBufferSize, C::transmitBufferSize, C::options);
}

std::int32_t setDefaultPortCharacteristics(SerialDriver& driver) {
    using C = PortCharacteristicsConstants;
    return driver.SetPortCharacteristics(kChannel, C::dataBits, C::parity, C::stopBitsCode,
                                         C::breakCode, C::handshakeCode);
}

} // namespace kqvdr
