#include "FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kqvdr {
namespace {

std::error_code lastError() {
    return {errno ? errno : EIO, std::generic_category()};
}

std::filesystem::path temporaryBeside(const std::filesystem::path& target) {
    std::random_device entropy;
    auto name = target.filename().string();
    name += ".tmp";
    name += std::to_string(entropy() % 1000000);
    return target.parent_path() / name;
}

#ifndef _WIN32
std::error_code writeAndSync(const std::filesystem::path& path, std::string_view content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return lastError();
    }
    std::size_t written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.data() + written, content.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const auto error = lastError();
            ::close(fd);
            return error;
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        return lastError();
    }
    return {};
}
#else
std::error_code writeAndSync(const std::filesystem::path& path, std::string_view content) {
    std::FILE* file = _wfopen(path.c_str(), L"wbc");
    if (!file) {
        return lastError();
    }
    const bool ok = std::fwrite(content.data(), 1, content.size(), file) == content.size() &&
                    std::fflush(file) == 0 && _commit(_fileno(file)) == 0;
    const bool closed = std::fclose(file) == 0;
    return ok && closed ? std::error_code{} : lastError();
}
#endif

} // namespace

std::error_code replaceFileContent(const std::filesystem::path& target, std::string_view content) {
    const auto temporary = temporaryBeside(target);
    errno = 0;
    if (auto error = writeAndSync(temporary, content)) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return error;
    }
    std::error_code error;
    std::filesystem::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return error;
}

std::error_code readWholeFile(const std::filesystem::path& path, std::string& content,
                              std::size_t maxBytes) {
    // Opening a named pipe would wait for a writer, and a device may never end: only plain
    // files are data files.
    std::error_code error;
    const auto type = std::filesystem::status(path, error).type();
    if (error) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    if (type != std::filesystem::file_type::regular) {
        return std::make_error_code(type == std::filesystem::file_type::directory
                                        ? std::errc::is_a_directory
                                        : std::errc::invalid_argument);
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    std::string data;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        data.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (data.size() > maxBytes) {
            return std::make_error_code(std::errc::file_too_large);
        }
    }
    if (in.bad()) {
        return std::make_error_code(std::errc::io_error);
    }
    content = std::move(data);
    return {};
}

} // namespace kqvdr
