#include "SerialCheck.h"

namespace kqvdr::remote {

bool isTestSerialNumber(std::string_view serial) {
    if (serial.size() != 7 || (serial.substr(0, 4) != "003-" && serial.substr(0, 4) != "M03-")) {
        return false;
    }
    for (const char c : serial.substr(4)) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

} // namespace kqvdr::remote
