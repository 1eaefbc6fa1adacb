#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace kqvdr::test {

// A real file system of a few kilobytes of its own (tmpfs), mounted on a fresh folder for one
// test and removed with it, so that a write can meet a full disk as it does in the field. It
// needs the right to mount (root, as here and in CI); where that is missing, `reason()` says
// why and the test skips.
class SmallFilesystem {
public:
    explicit SmallFilesystem(std::size_t bytes);
    ~SmallFilesystem();
    SmallFilesystem(const SmallFilesystem&) = delete;
    SmallFilesystem& operator=(const SmallFilesystem&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& reason() const { return reason_; }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }
    // Writes filler until the disk holds no more than `bytesLeft` free.
    void fillLeaving(std::size_t bytesLeft) const;

private:
    std::filesystem::path path_;
    bool mounted_ = false;
    std::string reason_;
};

} // namespace kqvdr::test

// Skips the test, saying why, where no small file system can be made.
#define KQVDR_NEED_SMALL_FILESYSTEM(fs)                                                            \
    do {                                                                                           \
        if (!(fs).mounted()) {                                                                     \
            GTEST_SKIP() << "no small file system for a full disk: " << (fs).reason();             \
        }                                                                                          \
    } while (false)
