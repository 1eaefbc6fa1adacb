#pragma once

#include <system_error>

namespace kqvdr {

// Reasons of the program's own where the system gives none.
enum class FileError {
    NotAPlainFile = 1, // a folder, a named pipe, a device: nothing the program reads as data
};

const std::error_category& fileErrorCategory();
std::error_code make_error_code(FileError error);

} // namespace kqvdr

template <> struct std::is_error_code_enum<kqvdr::FileError> : std::true_type {};
