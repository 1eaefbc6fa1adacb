#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kqvdr {

// A port is named by its text, as the person chooses it and the port file keeps it: "COM n" for
// n from 1 to 256 (Windows' own numbering; on Linux COM n is /dev/ttyS(n-1)), or the path of a
// serial device ("/dev/ttyUSB0", "/dev/serial/by-id/...").
inline constexpr int kHighestComPort = 256;
inline constexpr const char* kFirstPort = "COM 1";

// The port a typed text names, written the one way the program keeps it: "COM 12" for "COM 12",
// "com12" and "12"; a device path as it is. Nothing for a text that names no port.
std::optional<std::string> portFromText(std::string_view typed);

// n for "COM n", 0 for a device path or anything else.
int comPortNumber(std::string_view port);

// The operational log of a port: "vdr_com12.log", or for a device path a name made from its
// last part ("vdr_ttyUSB0.log").
std::string portLogFileName(std::string_view port);

} // namespace kqvdr
