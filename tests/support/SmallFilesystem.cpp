#include "SmallFilesystem.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#ifdef __linux__
#include <sys/mount.h>
#include <sys/statvfs.h>
#endif

namespace kqvdr::test {

SmallFilesystem::SmallFilesystem(std::size_t bytes) {
    std::random_device entropy;
    path_ = std::filesystem::temp_directory_path() / ("kqvdr-disk-" + std::to_string(entropy()));
    std::error_code error;
    std::filesystem::create_directory(path_, error);
    if (error) {
        reason_ = "cannot create " + path_.string() + ": " + error.message();
        return;
    }
#ifdef __linux__
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    if (::mount("kqvdr-test", path_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        reason_ = std::string("mount of a tmpfs refused: ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
#else
    (void)bytes;
    reason_ = "this system has no tmpfs";
#endif
}

SmallFilesystem::~SmallFilesystem() {
#ifdef __linux__
    if (mounted_) {
        ::umount2(path_.c_str(), MNT_DETACH);
    }
#endif
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void SmallFilesystem::fillLeaving(std::size_t bytesLeft) const {
#ifdef __linux__
    std::ofstream filler(path_ / "filler", std::ios::binary | std::ios::app);
    const std::string block(512, 'x');
    for (;;) {
        struct statvfs info {};
        if (::statvfs(path_.c_str(), &info) != 0 ||
            static_cast<std::size_t>(info.f_bavail) * info.f_frsize <= bytesLeft) {
            return;
        }
        filler.write(block.data(), static_cast<std::streamsize>(block.size()));
        filler.flush();
        if (!filler) {
            return;
        }
    }
#else
    (void)bytesLeft;
#endif
}

} // namespace kqvdr::test
