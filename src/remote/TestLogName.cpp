#include "TestLogName.h"

namespace kqvdr::remote {

bool isTestLogName(std::string_view name) {
    if (name.size() != 11 || (name.substr(0, 4) != "003_" && name.substr(0, 4) != "M03_") ||
        name.substr(7) != ".log") {
        return false;
    }
    for (const char c : name.substr(4, 3)) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

} // namespace kqvdr::remote
