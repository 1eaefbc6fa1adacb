#include "PresentPorts.h"

#include "TemporaryDirectory.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

// A pseudo-terminal's slave, which answers as a terminal does.
struct Line {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    Line() {
        ::grantpt(master);
        ::unlockpt(master);
    }
    ~Line() { ::close(master); }
    std::string path() const { return ::ptsname(master); }
};

// A device tree as udev lays one out, with what must not be listed beside what must.
TEST(PresentPorts, AdaptersByIdFirstThenKernelNamesInNumberOrderAndOnlyUartsThatAnswer) {
    test::TemporaryDirectory root;
    const fs::path dev = root.path();
    const Line line;
    for (const char* adapter : {"ttyUSB1", "ttyUSB10", "ttyUSB2", "ttyACM0"}) {
        fs::create_symlink(line.path(), dev / adapter);
    }
    test::writeBytes(dev / "ttyS0", "no UART behind it");
    fs::create_symlink(line.path(), dev / "ttyS1");
    // What sysfs says wins over asking the device.
    test::TemporaryDirectory sys;
    fs::create_symlink(line.path(), dev / "ttyS2");
    fs::create_symlink(line.path(), dev / "ttyS3");
    fs::create_directories(sys.path() / "ttyS2");
    test::writeBytes(sys.path() / "ttyS2" / "type", "0\n");
    fs::create_directories(sys.path() / "ttyS3");
    test::writeBytes(sys.path() / "ttyS3" / "type", "4\n");
    fs::create_symlink(line.path(), dev / "tty0");
    fs::create_directories(dev / "serial" / "by-id");
    fs::create_symlink("../../ttyUSB2", dev / "serial" / "by-id" / "usb-FTDI_FT232R_A5-if00-port0");
    fs::create_symlink("../../ttyUSB9", dev / "serial" / "by-id" / "usb-Gone-if00-port0");

    std::vector<std::string> labels;
    for (const PresentPort& port : linuxSerialPorts(dev, sys.path())) {
        labels.push_back(presentPortLabel(port));
    }
    const std::string d = dev.string() + "/";
    EXPECT_EQ(labels, (std::vector<std::string>{
                          d + "serial/by-id/usb-FTDI_FT232R_A5-if00-port0  ttyUSB2",
                          d + "ttyACM0",
                          d + "ttyUSB1",
                          d + "ttyUSB2  usb-FTDI_FT232R_A5-if00-port0",
                          d + "ttyUSB10",
                          d + "ttyS1",
                          d + "ttyS3",
                      }));
}

TEST(PresentPorts, ATreeWithoutSerialDevicesListsNothing) {
    test::TemporaryDirectory root;
    EXPECT_TRUE(linuxSerialPorts(root.path(), root.path()).empty());
    EXPECT_TRUE(linuxSerialPorts(root.path() / "missing", root.path()).empty());
}

} // namespace
} // namespace kqvdr
