#include "Utf8Arguments.h"

#ifdef _WIN32
#include "WideText.h"

#include <windows.h>
// shellapi.h needs the declarations of windows.h before it.
#include <shellapi.h>
#endif

namespace kqvdr {

#ifdef _WIN32
std::vector<std::string> utf8Arguments(int argc, char* argv[]) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr || count != argc) {
        if (wide != nullptr) {
            LocalFree(wide);
        }
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(utf8FromWide(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}
#else
std::vector<std::string> utf8Arguments(int argc, char* argv[]) {
    return std::vector<std::string>(argv + 1, argv + argc);
}
#endif

} // namespace kqvdr
