#include "PortName.h"

#include "PortFile.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

TEST(PortName, TypedTextIsTheOneWayTheProgramKeepsThePort) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"COM 1", "COM 1"},
        {"COM 4", "COM 4"},
        {"COM 12", "COM 12"},
        {"COM 256", "COM 256"},
        {"com12", "COM 12"},
        {"COM7", "COM 7"},
        {" 7 ", "COM 7"},
        {"12", "COM 12"},
        {"COM 0", std::nullopt},
        {"COM 257", std::nullopt},
        {"COM 012", std::nullopt},
        {"COM 1x", std::nullopt},
        {"COM ", std::nullopt},
        {"", std::nullopt},
        {"relative/ttyUSB0", std::nullopt},
#ifdef _WIN32
        {"/dev/ttyUSB0", std::nullopt},
#else
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"/dev/serial/by-id/usb-FTDI_A5-if00-port0", "/dev/serial/by-id/usb-FTDI_A5-if00-port0"},
        {"/dev/", std::nullopt},
        {"/dev/tty\nS0", std::nullopt},
#endif
    };
    for (const auto& [typed, port] : cases) {
        EXPECT_EQ(portFromText(typed), port) << '"' << typed << '"';
    }
}

TEST(PortName, ComNumberOnlyForTheKeptText) {
    const std::pair<const char*, int> cases[] = {
        {"COM 1", 1}, {"COM 12", 12}, {"COM 256", 256},  {"com12", 0},
        {"COM12", 0}, {"COM 0", 0},   {"/dev/ttyS0", 0}, {"", 0},
    };
    for (const auto& [port, number] : cases) {
        EXPECT_EQ(comPortNumber(port), number) << port;
    }
}

TEST(PortName, LogFileFollowsThePort) {
    const std::pair<const char*, const char*> cases[] = {
        {"COM 1", "vdr_com1.log"},
        {"COM 4", "vdr_com4.log"},
        {"COM 12", "vdr_com12.log"},
        {"/dev/ttyUSB0", "vdr_ttyUSB0.log"},
        {"/dev/serial/by-id/usb-FTDI_A5-if00-port0", "vdr_usb-FTDI_A5-if00-port0.log"},
        {"/tmp/a b:c", "vdr_a_b_c.log"},
    };
    for (const auto& [port, file] : cases) {
        EXPECT_EQ(portLogFileName(port), file) << port;
    }
}

// Byte for byte: an existing file is read unchanged, and other ports are their own text.
TEST(PortFile, EveryPortIsOneArchivedStringAndReadsBackAsWritten) {
    const std::pair<const char*, std::string> cases[] = {
        {"COM 1", std::string("\x05") + "COM 1"},
        {"COM 4", std::string("\x05") + "COM 4"},
        {"COM 12", std::string("\x06") + "COM 12"},
        {"COM 256", std::string("\x07") + "COM 256"},
#ifndef _WIN32
        {"/dev/ttyUSB0", std::string("\x0c") + "/dev/ttyUSB0"},
#endif
    };
    for (const auto& [port, bytes] : cases) {
        SCOPED_TRACE(port);
        test::TemporaryDirectory dir;
        ASSERT_FALSE(writePortFile(dir.path(), port));
        EXPECT_EQ(test::readBytes(dir.file(kPortFile)), bytes);
        test::writeBytes(dir.file(kPortFile), bytes);
        const StoredPort stored = readPortFile(dir.path());
        EXPECT_EQ(stored.status, StoredPort::Status::Port);
        EXPECT_EQ(stored.port, port);
    }
}

TEST(PortFile, MissingAndDamagedFilesAreToldApart) {
    test::TemporaryDirectory dir;
    EXPECT_EQ(readPortFile(dir.path()).status, StoredPort::Status::Missing);
    const std::string damaged[] = {"", std::string("\x09") + "COM", std::string("\x03") + "abc",
                                   std::string("\x05") + "com 3", std::string("\x05") + "COM12"};
    for (const std::string& bytes : damaged) {
        test::writeBytes(dir.file(kPortFile), bytes);
        EXPECT_EQ(readPortFile(dir.path()).status, StoredPort::Status::Damaged) << bytes;
    }
}

} // namespace
} // namespace kqvdr
