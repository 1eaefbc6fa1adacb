#include "PresentPorts.h"
#include "Utf8Path.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace kqvdr {
namespace {

namespace fs = std::filesystem;

// A ttyS device exists for every UART the kernel might have; only those with hardware behind
// them report a known UART type. The kernel says so in sysfs without the port being opened
// (an open raises DTR on whatever is connected); where it does not, the device is asked.
bool answers(const fs::path& device, const fs::path& sysTty) {
    std::error_code error;
    const fs::path typeFile = sysTty / device.filename() / "type";
    if (fs::exists(typeFile, error)) {
        std::ifstream in(typeFile);
        int type = PORT_UNKNOWN;
        return static_cast<bool>(in >> type) && type != PORT_UNKNOWN;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    serial_struct info{};
    bool present = false;
    if (::ioctl(fd, TIOCGSERIAL, &info) == 0) {
        present = info.type != PORT_UNKNOWN;
    } else {
        termios settings{};
        present = ::tcgetattr(fd, &settings) == 0;
    }
    ::close(fd);
    return present;
}

// "ttyUSB10" after "ttyUSB9": by the name's stem, then its number.
bool numberOrder(const std::string& a, const std::string& b) {
    const auto split = [](const std::string& name) {
        std::size_t digits = name.size();
        while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9') {
            --digits;
        }
        const std::string number = name.substr(digits);
        return std::make_pair(name.substr(0, digits),
                              number.empty() || number.size() > 9 ? -1 : std::stoi(number));
    };
    return split(a) < split(b);
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace

std::vector<PresentPort> linuxSerialPorts(const fs::path& devRoot, const fs::path& sysTty) {
    std::error_code error;
    std::vector<PresentPort> ports;

    // udev's links are relative ("../../ttyUSB0"): resolve one step, not through to /dev/pts.
    std::map<std::string, std::string> byIdOf; // kernel device name -> by-id name
    std::map<std::string, std::string> stable; // by-id name -> kernel device name
    const fs::path byId = devRoot / "serial" / "by-id";
    for (const fs::directory_entry& entry : fs::directory_iterator(byId, error)) {
        const fs::path target = fs::read_symlink(entry.path(), error);
        if (error || !fs::exists(entry.path(), error)) {
            error.clear();
            continue; // not a link, or one left behind by a device that has gone
        }
        const std::string name = utf8FromPath(entry.path().filename());
        const std::string device = utf8FromPath((byId / target).lexically_normal().filename());
        stable[name] = device;
        byIdOf[device] = name;
    }
    for (const auto& [name, device] : stable) {
        ports.push_back({utf8FromPath(byId / pathFromUtf8(name)), device});
    }

    std::vector<std::string> devices;
    for (const fs::directory_entry& entry : fs::directory_iterator(devRoot, error)) {
        const std::string name = utf8FromPath(entry.path().filename());
        const bool adapter = startsWith(name, "ttyUSB") || startsWith(name, "ttyACM");
        const bool uart = startsWith(name, "ttyS") && name.size() > 4;
        if ((adapter && fs::exists(entry.path(), error)) ||
            (uart && answers(entry.path(), sysTty))) {
            devices.push_back(name);
        }
    }
    std::sort(devices.begin(), devices.end(), [](const std::string& a, const std::string& b) {
        // Adapters first: they are what a laboratory PC has today.
        const bool aUart = startsWith(a, "ttyS");
        const bool bUart = startsWith(b, "ttyS");
        return aUart != bUart ? bUart : numberOrder(a, b);
    });
    for (const std::string& name : devices) {
        const auto found = byIdOf.find(name);
        ports.push_back({utf8FromPath(devRoot / pathFromUtf8(name)),
                         found != byIdOf.end() ? found->second : std::string()});
    }
    return ports;
}

std::vector<PresentPort> presentSerialPorts() {
    return linuxSerialPorts("/dev", "/sys/class/tty");
}

} // namespace kqvdr
