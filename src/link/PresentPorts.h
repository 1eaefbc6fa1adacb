#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kqvdr {

// A serial port the computer has now, with the name the system gives it where it has one.
struct PresentPort {
    std::string port; // the port text the program keeps: "COM 7", "/dev/ttyUSB0"
    std::string name; // "USB Serial Port"; on Linux the stable by-id name; may be empty
};

// "COM 7  USB Serial Port", or the port alone.
std::string presentPortLabel(const PresentPort& port);

// The serial ports present now, in a stable order.
std::vector<PresentPort> presentSerialPorts();

#ifdef _WIN32
// The ports from the values of HARDWARE\DEVICEMAP\SERIALCOMM ("COM7") and the friendly names
// of the port devices by their port name ("COM7" -> "USB Serial Port (COM7)"): in number order,
// each once, the name without its "(COM7)".
std::vector<PresentPort> comPortList(const std::vector<std::string>& deviceMapValues,
                                     const std::map<std::string, std::string>& friendlyNames);
#else
// The serial devices under `devRoot` (/dev, or a tree a test builds): the stable
// serial/by-id names first, then ttyACM*, ttyUSB* and the ttyS* that have a UART behind them,
// as `sysTty` (/sys/class/tty) tells or, where it has nothing on them, the device itself.
std::vector<PresentPort> linuxSerialPorts(const std::filesystem::path& devRoot,
                                          const std::filesystem::path& sysTty);
#endif

} // namespace kqvdr
