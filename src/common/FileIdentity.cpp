#include "FileIdentity.h"

namespace kqvdr {

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error) && !error) {
        return true;
    }
    const auto resolvedA =
        std::filesystem::weakly_canonical(std::filesystem::absolute(a, error), error);
    if (error) {
        return false;
    }
    const auto resolvedB =
        std::filesystem::weakly_canonical(std::filesystem::absolute(b, error), error);
    return !error && resolvedA == resolvedB;
}

} // namespace kqvdr
