// Checks a serial port against an instrument (or the simulator) with the program's own driver:
// opens the port, asks for the status word and decodes the reply. With --until-vanished it then
// waits for the other end to go away and checks that the port was closed once.
//
//     kqvdr1000-serial-smoke PORT [--until-vanished]      PORT: COM3 on Windows, /dev/ttyUSB0 ...

#include "AwaitFrame.h"
#include "FrameReceiver.h"
#include "PlatformSerialDriver.h"
#include "SendCommand.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using namespace std::chrono_literals;

constexpr int kStatusRequest = 17;
constexpr int kBroadcastAddress = 0;
const char* const kModeNames[] = {"Standby", "Run", "Gas Save", "Sleep", "Error"};

int fail(const std::string& what) {
    std::fprintf(stderr, "kqvdr1000-serial-smoke: %s\n", what.c_str());
    return 1;
}

bool waitUntilVanished(kqvdr::PlatformSerialDriver& driver) {
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!driver.deviceVanished() && std::chrono::steady_clock::now() < deadline) {
        while (driver.ReadByte(kqvdr::kChannel) >= 0) {
        }
        driver.WaitForReceive(10ms);
    }
    return driver.deviceVanished();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || (argc == 3 && std::string(argv[2]) != "--until-vanished")) {
        std::fprintf(stderr, "usage: kqvdr1000-serial-smoke PORT [--until-vanished]\n");
        return 2;
    }
    kqvdr::PlatformSerialDriver driver{kqvdr::PortDevices(std::string(argv[1]))};
    if (kqvdr::openPortWithDefaults(driver, "COM 1") != 0) {
        return fail(std::string("cannot open ") + argv[1]);
    }
    if (kqvdr::setDefaultPortCharacteristics(driver) != 0) {
        return fail("cannot set the line to 9600 8N1");
    }
    std::printf("opened %s\n", driver.devicePath().c_str());

    kqvdr::FrameReceiver receiver(driver);
    kqvdr::SendCommand(driver, kBroadcastAddress, kStatusRequest);
    kqvdr::ReplyFrame reply;
    // Stray bytes on a freshly opened line may come first; a reply takes well under a second.
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (std::chrono::steady_clock::now() < deadline && !driver.deviceVanished()) {
        if (kqvdr::awaitFrame(receiver, driver, reply, 100ms) == kqvdr::kReceivedData &&
            reply.commandCode == kStatusRequest && reply.wordCount == 1) {
            break;
        }
        reply = {};
    }
    if (reply.commandCode != kStatusRequest) {
        return fail("no status word in reply");
    }
    const auto word = static_cast<std::uint16_t>(reply.words[0]);
    const int mode = (word >> 4) & 7;
    std::printf("status word 0x%04X from address %d: mode %d (%s)\n", word, reply.address, mode,
                mode <= 4 ? kModeNames[mode] : "unknown");
    if (argc == 2) {
        return 0;
    }

    std::printf("waiting for the line to vanish\n");
    std::fflush(stdout);
    if (!waitUntilVanished(driver)) {
        return fail("the line did not vanish within 20 s");
    }
    if (driver.ReadByte(kqvdr::kChannel) != -1 ||
        driver.WriteBlock(kqvdr::kChannel, 3, "abc") >= 0) {
        return fail("a vanished line still reads or writes");
    }
    if (driver.ClosePort(kqvdr::kChannel) != 0) {
        return fail("closing the vanished port failed");
    }
    std::printf("line vanished; the port was closed once\n");
    return 0;
}
