#include "AppTexts.h"

namespace kqvdr {

std::string titleForGasRange(bool fineGasResolution) {
    return std::string(fineGasResolution ? fineGasTitle : standardTitle);
}

std::string windowCaption(std::string_view title, std::string_view windowName) {
    std::string caption(title);
    caption += " - ";
    caption += windowName;
    return caption;
}

std::string mainWindowCaption(std::string_view title, std::string_view port) {
    std::string caption(title);
    caption += " (";
    caption += port;
    caption += ')';
    return caption;
}

} // namespace kqvdr
