#pragma once

#include <cstdint>
#include <span>

namespace kqvdr {

class SerialDriver;

// Builds the frame for `commandCode` with the data length of the command table and writes it as
// one block. Fire-and-forget: any reply is decoded by the status poll. Unknown codes send
// nothing.
void SendCommand(SerialDriver& driver, int address, int commandCode,
                 std::span<const std::int16_t> data = {});

} // namespace kqvdr
