#include "ProgramDir.h"

#include "Utf8Path.h"

#include <filesystem>
#include <system_error>

namespace kqvdr {

std::string resolveProgramDir(const std::optional<std::string>& dirOption,
                              const std::string& executableDir) {
    const std::string& chosen = dirOption && !dirOption->empty() ? *dirOption : executableDir;
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(pathFromUtf8(chosen), error);
    if (error) {
        path = pathFromUtf8(chosen);
    }
    std::string text = utf8FromPath(path.lexically_normal().generic_string<char8_t>());
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

} // namespace kqvdr
