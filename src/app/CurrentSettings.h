#pragma once

#include "Message.h"

#include <string>
#include <string_view>

namespace kqvdr {

// What View > Current Settings reports; the control view owns both values.
struct CurrentSettings {
    int portNumber = 1; // 1 to 4
    int deviceId = 0;   // 0 to 127
};

std::string currentSettingsText(std::string_view title, const CurrentSettings& settings);

MessageRequest currentSettingsMessage(std::string_view title, const CurrentSettings& settings);

} // namespace kqvdr
