#include "PlatformSleepInhibitor.h"

#ifdef _WIN32
#include "WindowsSleepInhibitor.h"
#else
#include "LogindSleepInhibitor.h"
#endif

namespace kqvdr {

std::unique_ptr<SleepInhibitor> platformSleepInhibitor() {
#ifdef _WIN32
    return std::make_unique<WindowsSleepInhibitor>();
#else
    return std::make_unique<LogindSleepInhibitor>(QDBusConnection::systemBus());
#endif
}

} // namespace kqvdr
