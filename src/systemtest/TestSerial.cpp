#include "TestSerial.h"

namespace kqvdr {
namespace {

std::string withFourth(std::string_view serial, char c) {
    std::string text(serial);
    if (text.size() >= 4) {
        text[3] = c;
    }
    return text;
}

} // namespace

std::string shownSerial(std::string_view serial) {
    return withFourth(serial, '-');
}

std::string storedSerial(std::string_view serial) {
    return withFourth(serial, '_');
}

std::string serialOfLogName(std::string_view fileName) {
    std::string serial(fileName);
    for (std::size_t at; (at = serial.find(".log")) != std::string::npos;) {
        serial.erase(at, 4);
    }
    return serial;
}

bool looksLikeTestLog(std::string_view fileName) {
    return fileName.find("003") != std::string_view::npos ||
           fileName.find("M03") != std::string_view::npos;
}

} // namespace kqvdr
