#include "OwnerOnlyFile.h"

#include <cstdio>
#include <sys/stat.h>

namespace kqvdr {
namespace {

std::string octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777u);
    return text;
}

} // namespace

std::string ownerOnlyProblem(const std::filesystem::path& file) {
    struct stat facts {};
    if (::stat(file.c_str(), &facts) != 0) {
        return {};
    }
    if ((facts.st_mode & 077) != 0) {
        return "others may read it (mode " + octal(facts.st_mode) +
               "); only its owner may: chmod 600 it";
    }
    return {};
}

} // namespace kqvdr
