#include "ProgramDir.h"

#include <filesystem>
#include <system_error>

namespace kqvdr {

std::string resolveProgramDir(const std::optional<std::string>& dirOption,
                              const std::string& executableDir) {
    const std::string& chosen = dirOption && !dirOption->empty() ? *dirOption : executableDir;
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(chosen, error);
    if (error) {
        path = chosen;
    }
    std::string text = path.lexically_normal().generic_string();
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

} // namespace kqvdr
