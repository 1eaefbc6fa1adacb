#pragma once

#include "SerialDriver.h"

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kqvdr::test {

// An in-memory serial line: tests queue the bytes the instrument would send and read back the
// frames the program wrote.
class FakeSerialDriver : public SerialDriver {
public:
    std::int32_t OpenPort(std::int32_t channel, const std::string& port, std::int32_t, std::int32_t,
                          std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                          std::int32_t) override;
    std::int32_t SetPortCharacteristics(std::int32_t channel, std::int32_t, std::int32_t,
                                        std::int32_t, std::int32_t, std::int32_t) override;
    std::int32_t ClosePort(std::int32_t channel) override;
    std::int32_t WriteBlock(std::int32_t channel, std::int32_t length, const char* bytes) override;
    std::int32_t ReadByte(std::int32_t channel) override;
    std::int32_t IsReceiveEmpty(std::int32_t channel) override;
    std::int32_t ResetReceive(std::int32_t channel) override;

    void queueIncoming(std::string_view bytes) {
        incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    }

    std::deque<char> incoming;
    std::vector<std::string> written; // one entry per WriteBlock
    std::vector<std::string> calls;   // operation names in call order
    int openResult = 0;
    std::deque<int> openResults; // taken one per OpenPort before openResult
    int setupResult = 0;
    int closeResult = 0;
    std::string openedPort;
    std::vector<std::string> openAttempts; // the port of every OpenPort
};

} // namespace kqvdr::test
