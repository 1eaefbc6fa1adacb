#include "FileErrors.h"

#include <string>

namespace kqvdr {
namespace {

class FileErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "kqvdr-file"; }
    std::string message(int code) const override {
        switch (static_cast<FileError>(code)) {
        case FileError::NotAPlainFile:
            return "not a plain file";
        }
        return "unknown file error";
    }
};

} // namespace

const std::error_category& fileErrorCategory() {
    static const FileErrorCategory category;
    return category;
}

std::error_code make_error_code(FileError error) {
    return {static_cast<int>(error), fileErrorCategory()};
}

} // namespace kqvdr
