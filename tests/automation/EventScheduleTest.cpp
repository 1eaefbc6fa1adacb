#include "EventSchedule.h"

#include "ClockSeconds.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

// Local seconds of a moment in the week of Monday 22 March 2027.
std::int64_t at(int dayOfWeekFromMonday, int hour, int minute, int second = 0) {
    LocalTime monday;
    monday.year = 2027;
    monday.month = 3;
    monday.day = 22;
    return localSeconds(monday) + std::int64_t{dayOfWeekFromMonday} * 86400 + hour * 3600 +
           minute * 60 + second;
}

TEST(EventSchedule, TheNextOccurrenceIsTheFirstMomentFromThenThatShowsTheDayAndMinute) {
    const struct {
        const char* name;
        const char* day;
        const char* time;
        bool anyDay;
        std::int64_t from;
        std::optional<std::int64_t> due;
    } cases[] = {
        {"later the same day", "MON", "08:00", false, at(0, 7, 0), at(0, 8, 0)},
        {"at that very second", "MON", "08:00", false, at(0, 8, 0), at(0, 8, 0)},
        {"a second late waits a week", "MON", "08:00", false, at(0, 8, 0, 1), at(7, 8, 0)},
        {"another weekday", "THU", "23:59", false, at(0, 8, 0), at(3, 23, 59)},
        {"Sunday", "SUN", "00:00", false, at(0, 8, 0), at(6, 0, 0)},
        {"any day, today", "", "18:00", true, at(2, 17, 0), at(2, 18, 0)},
        {"any day, tomorrow", "", "01:20", true, at(2, 17, 0), at(3, 1, 20)},
        {"no day chosen never comes", "", "08:00", false, at(0, 7, 0), std::nullopt},
        {"an unset time never comes", "MON", "##:##", false, at(0, 7, 0), std::nullopt},
        {"hours beyond the day", "MON", "24:00", false, at(0, 7, 0), std::nullopt},
        {"an unpadded time", "MON", "8:00", false, at(0, 7, 0), std::nullopt},
        {"a lower-case day", "mon", "08:00", false, at(0, 7, 0), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EventSchedule::nextOccurrence(c.day, c.time, c.anyDay, c.from), c.due) << c.name;
    }
}

TEST(EventSchedule, AnEventFallsDueAtTheFirstLookAtOrAfterItsTimeAndTheNextIsAwaitedFromThen) {
    EventSchedule schedule;
    LocalTime now = localTimeAt(at(0, 7, 59, 58));
    schedule.restart(now);
    EXPECT_FALSE(schedule.dueBy("MON", "08:00", false, now));
    now = localTimeAt(at(0, 8, 0, 3)); // no look between 07:59:58 and 08:00:03
    const auto due = schedule.dueBy("MON", "08:00", false, now);
    ASSERT_TRUE(due);
    EXPECT_EQ(*due, at(0, 8, 0));
    schedule.fired(*due);
    EXPECT_EQ(schedule.dueBy("MON", "08:00", false, now), at(0, 8, 0))
        << "a second event of that minute comes on the next look";
    EXPECT_FALSE(schedule.dueBy("MON", "07:00", false, now)) << "an earlier one waits a week";
}

} // namespace
} // namespace kqvdr
