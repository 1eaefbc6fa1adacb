#include "SendCommand.h"

#include "CommandTable.h"
#include "Frame.h"
#include "SerialDriver.h"

#include <array>

namespace kqvdr {

void SendCommand(SerialDriver& driver, int address, int commandCode,
                 std::span<const std::int16_t> data) {
    const auto entry = commandEntry(commandCode);
    if (!entry) {
        return;
    }
    std::array<char, kCommandBufferSize> buffer{};
    const std::size_t length = BuildFrame(address, commandCode, data, entry->sendDigits, buffer);
    if (length > 0) {
        driver.WriteBlock(kChannel, static_cast<std::int32_t>(length), buffer.data());
    }
}

} // namespace kqvdr
