#include "PortName.h"
#include "PresentPorts.h"
#include "WideText.h"

#include <algorithm>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// clang-format off
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

namespace kqvdr {
namespace {

// A REG_SZ value may lack its terminator; take what is there up to the first one.
std::wstring stringValue(const wchar_t* data, DWORD bytes) {
    std::wstring text(data, bytes / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

std::vector<std::string> serialCommValues() {
    std::vector<std::string> values;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ,
                        &key) != ERROR_SUCCESS) {
        return values;
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[256];
        DWORD dataBytes = sizeof data;
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key, i, name, &nameLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result == ERROR_SUCCESS && type == REG_SZ) {
            values.push_back(utf8FromWide(stringValue(data, dataBytes)));
        }
    }
    ::RegCloseKey(key);
    return values;
}

// The friendly name of every present port device, by its port name.
std::map<std::string, std::string> friendlyNames() {
    std::map<std::string, std::string> names;
    const HDEVINFO devices =
        ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return names;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key =
            ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        wchar_t portName[64];
        DWORD bytes = sizeof portName;
        DWORD type = 0;
        const bool named =
            ::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(portName),
                               &bytes) == ERROR_SUCCESS &&
            type == REG_SZ;
        ::RegCloseKey(key);
        wchar_t friendly[256];
        DWORD friendlyBytes = 0;
        if (named && ::SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME,
                                                         nullptr, reinterpret_cast<BYTE*>(friendly),
                                                         sizeof friendly, &friendlyBytes)) {
            names[utf8FromWide(stringValue(portName, bytes))] =
                utf8FromWide(stringValue(friendly, friendlyBytes));
        }
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return names;
}

} // namespace

std::vector<PresentPort> comPortList(const std::vector<std::string>& deviceMapValues,
                                     const std::map<std::string, std::string>& names) {
    std::vector<std::pair<int, PresentPort>> found;
    for (const std::string& value : deviceMapValues) {
        const std::optional<std::string> port = portFromText(value);
        const int number = port ? comPortNumber(*port) : 0;
        if (number == 0 || std::any_of(found.begin(), found.end(),
                                       [number](const auto& f) { return f.first == number; })) {
            continue;
        }
        std::string name;
        if (const auto it = names.find(value); it != names.end()) {
            name = it->second;
            const std::string suffix = " (" + value + ")";
            if (name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                name.erase(name.size() - suffix.size());
            }
        }
        found.push_back({number, {*port, name}});
    }
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<PresentPort> ports;
    for (auto& [number, port] : found) {
        ports.push_back(std::move(port));
    }
    return ports;
}

std::vector<PresentPort> presentSerialPorts() {
    return comPortList(serialCommValues(), friendlyNames());
}

} // namespace kqvdr
