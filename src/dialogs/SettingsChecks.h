#pragma once

#include "Message.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The rules of the settings dialogs, free of widgets so that they can be tested on their own.
namespace kqvdr {

inline constexpr int kMaxDeviceId = 127;
inline constexpr int kMaxVapourSensitivity = 10;

struct DeviceIdEntry {
    int deviceId = 0;        // within 0 to 127
    bool outOfRange = false; // the operator is told, and the nearest limit is used
};

// The device identification typed into its field, read as a decimal integer and clamped.
DeviceIdEntry deviceIdFromText(std::string_view text);

// Whether a vapour sensitivity may be sent. Zero switches off the leak detection, so it needs
// an explicit Yes to the warning; `ask` is called only then.
bool vapourSensitivityConfirmed(int sensitivity,
                                const std::function<MessageAnswer(const MessageRequest&)>& ask,
                                const std::string& caption);

MessageRequest invalidPortMessage(const std::string& caption);
MessageRequest deviceIdRangeMessage(const std::string& caption);
MessageRequest zeroSensitivityQuestion(const std::string& caption);

} // namespace kqvdr
