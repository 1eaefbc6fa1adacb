#pragma once

// The serial driver of the platform the program is built for.
#ifdef _WIN32
#include "Win32SerialDriver.h"
namespace kqvdr {
using PlatformSerialDriver = Win32SerialDriver;
}
#else
#include "PosixSerialDriver.h"
namespace kqvdr {
using PlatformSerialDriver = PosixSerialDriver;
}
#endif
