#include "LogFile.h"

#include "TemporaryDirectory.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace kqvdr {
namespace {

// A file-size limit cuts the second line off part way; the file keeps only whole lines.
TEST(LogFile, LineThatDoesNotFitIsCutBackOff) {
    test::TemporaryDirectory dir;
    const auto path = dir.file("vdr_com1.log");
    LogFile file;
    ASSERT_FALSE(file.open(path, LogFile::Mode::Fresh));
    ASSERT_FALSE(file.append("10:00:15 first \r\n"));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 17 + 5;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const std::error_code error = file.append("10:00:45 second \r\n");
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_EQ(error, std::errc::file_too_large);
    EXPECT_EQ(test::readBytes(path), "10:00:15 first \r\n");
}

} // namespace
} // namespace kqvdr
