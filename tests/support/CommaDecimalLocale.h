#pragma once

#include "TemporaryDirectory.h"

#include <clocale>
#include <cstdlib>
#include <string>

namespace kqvdr::test {

// A German locale compiled into a private directory and put in force for the C library (no
// root needed, nothing installed); the "C" locale comes back when it goes.
class CommaDecimalLocale {
public:
    CommaDecimalLocale() {
        const std::string command = "localedef -i de_DE -f UTF-8 '" +
                                    locales_.file("de_DE.UTF-8").string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            return;
        }
        ::setenv("LOCPATH", locales_.path().c_str(), 1);
        active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaDecimalLocale() {
        std::setlocale(LC_ALL, "C");
        ::unsetenv("LOCPATH");
    }
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    // False when localedef or the de_DE source is missing.
    bool active() const { return active_; }

private:
    TemporaryDirectory locales_;
    bool active_ = false;
};

} // namespace kqvdr::test
