#include "SystemClock.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

#ifndef _WIN32
// POSIX time zone strings count west of UTC as positive; the offset is east-positive.
TEST(SystemClock, OffsetFromUtcFollowsTheTimeZoneOnBothSidesOfMidnight) {
    struct Case {
        const char* zone;
        int offset;
    };
    const char* previous = std::getenv("TZ");
    const std::string saved = previous != nullptr ? previous : "";
    for (const Case c : {Case{"UTC0", 0}, Case{"XST-5:45", 345}, Case{"YST+9:30", -570},
                         Case{"ZST-14", 840}, Case{"WST+12", -720}}) {
        ::setenv("TZ", c.zone, 1);
        ::tzset();
        EXPECT_EQ(SystemClock().now().utcOffsetMinutes, c.offset) << c.zone;
    }
    if (previous != nullptr) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}
#endif

} // namespace
} // namespace kqvdr
