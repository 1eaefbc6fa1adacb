#include "SettingsChecks.h"

#include "NumberText.h"

#include <algorithm>

namespace kqvdr {

DeviceIdEntry deviceIdFromText(std::string_view text) {
    const int typed = parseLeadingInt(text);
    const int clamped = std::clamp(typed, 0, kMaxDeviceId);
    return {clamped, clamped != typed};
}

bool vapourSensitivityConfirmed(int sensitivity,
                                const std::function<MessageAnswer(const MessageRequest&)>& ask,
                                const std::string& caption) {
    return sensitivity != 0 || ask(zeroSensitivityQuestion(caption)) == MessageAnswer::Yes;
}

MessageRequest invalidPortMessage(const std::string& caption) {
#ifdef _WIN32
    const char* text = "Please enter a valid communications port (1..256)";
#else
    const char* text = "Please enter a valid communications port (1..256), or the path of a "
                       "serial device such as /dev/ttyUSB0";
#endif
    return {caption, text, MessageIcon::Exclamation, MessageButtons::Ok};
}

MessageRequest deviceIdRangeMessage(const std::string& caption) {
    return {caption, "Device Identification must be in the range 0 to 127",
            MessageIcon::Exclamation, MessageButtons::Ok};
}

MessageRequest zeroSensitivityQuestion(const std::string& caption) {
    return {caption,
            "Setting the vapour sensitivity to zero disables this important\n"
            "safety feature within the KQ-VDR 1000.\n\n"
            "You are therefore advised that in the event of a solvent leak\n"
            "which may lead to a hazardous condition the instrument will be\n"
            "unable to detect it.\n\n"
            "Do you want to continue?",
            MessageIcon::Exclamation, MessageButtons::YesNo};
}

} // namespace kqvdr
