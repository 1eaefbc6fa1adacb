#pragma once

#include "Message.h"

#include <string>
#include <string_view>

namespace kqvdr {

// What View > Current Settings reports; the control view owns both values.
struct CurrentSettings {
    std::string port = "COM 1"; // the port text: "COM 12", "/dev/ttyUSB0"
    int deviceId = 0;           // 0 to 127
};

std::string currentSettingsText(std::string_view title, const CurrentSettings& settings);

MessageRequest currentSettingsMessage(std::string_view title, const CurrentSettings& settings);

} // namespace kqvdr
