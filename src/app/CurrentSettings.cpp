#include "CurrentSettings.h"

namespace kqvdr {

std::string currentSettingsText(std::string_view title, const CurrentSettings& settings) {
    std::string text(title);
    text += " Software is currently using the following settings :-\n\n\n"
            "Communications Port    -    ";
    text += settings.port;
    text += "\n\nDevice Identification     -    ";
    text += std::to_string(settings.deviceId);
    return text;
}

MessageRequest currentSettingsMessage(std::string_view title, const CurrentSettings& settings) {
    return {std::string(title), currentSettingsText(title, settings), MessageIcon::Information,
            MessageButtons::Ok};
}

} // namespace kqvdr
