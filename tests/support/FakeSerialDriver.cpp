#include "FakeSerialDriver.h"

namespace kqvdr::test {

std::int32_t FakeSerialDriver::OpenPort(std::int32_t channel, const std::string& port, std::int32_t,
                                        std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                        std::int32_t, std::int32_t) {
    calls.push_back("OpenPort");
    openAttempts.push_back(port);
    if (channel != kChannel) {
        return -1;
    }
    int result = openResult;
    if (!openResults.empty()) {
        result = openResults.front();
        openResults.pop_front();
    }
    if (result == 0) {
        openedPort = port;
    }
    return result;
}

std::int32_t FakeSerialDriver::SetPortCharacteristics(std::int32_t channel, std::int32_t,
                                                      std::int32_t, std::int32_t, std::int32_t,
                                                      std::int32_t) {
    calls.push_back("SetPortCharacteristics");
    return channel == kChannel ? setupResult : -1;
}

std::int32_t FakeSerialDriver::ClosePort(std::int32_t channel) {
    calls.push_back("ClosePort");
    return channel == kChannel ? closeResult : -1;
}

std::int32_t FakeSerialDriver::WriteBlock(std::int32_t channel, std::int32_t length,
                                          const char* bytes) {
    if (channel != kChannel) {
        return -1;
    }
    written.emplace_back(bytes, static_cast<std::size_t>(length));
    return length;
}

std::int32_t FakeSerialDriver::ReadByte(std::int32_t channel) {
    if (channel != kChannel || incoming.empty()) {
        return -1;
    }
    const auto byte = static_cast<unsigned char>(incoming.front());
    incoming.pop_front();
    return byte;
}

std::int32_t FakeSerialDriver::IsReceiveEmpty(std::int32_t channel) {
    return channel != kChannel || incoming.empty() ? 1 : 0;
}

std::int32_t FakeSerialDriver::ResetReceive(std::int32_t) {
    calls.push_back("ResetReceive");
    return 0;
}

} // namespace kqvdr::test
