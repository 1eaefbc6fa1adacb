#include "AutomationTexts.h"

#include <gtest/gtest.h>

namespace kqvdr {
namespace {

AutomationTable threeEvents() {
    AutomationTable table;
    table.setTimetable(defaultTimetable());
    table.event(1) = {"MON", "08:00", "RUN", "2"};
    table.event(2) = {"MON", "12:30", "GAS SAVE", "3"};
    table.event(3) = {"TUE", "07:00", "SLEEP", "10"};
    return table;
}

TEST(AutomationTexts, CurrentEventLineEndsWithTheNextStartOrUnsetForEventTen) {
    AutomationTable table = threeEvents();
    table.currentEventNumber = 2;
    table.event(0) = table.event(2);
    EXPECT_EQ(currentEventLine(table), "    02       12:30      07:00       GAS SAVE  ( 3 )");

    table.event(10) = {"SUN", "22:15", "STANDBY", "1"};
    table.currentEventNumber = 10;
    table.event(0) = table.event(10);
    EXPECT_EQ(currentEventLine(table), "    10       22:15      ##:##       STANDBY  ( 1 )");
}

TEST(AutomationTexts, InformationListsTheEventsUpToTheFirstUnsetOne) {
    AutomationTable table = threeEvents();
    table.event(5) = {"WED", "09:00", "RUN", "4"}; // behind an unset event: never run, not shown
    EXPECT_EQ(automationInformation(table),
              "\nAutomation Sequence :-\n\nEvent\tDay\tStart\tEnd\tMode (Method)\t \n\n"
              "01\tMON\t08:00\t12:30\tRUN ( 2 )\n"
              "02\tMON\t12:30\t07:00\tGAS SAVE ( 3 )\n"
              "03\tTUE\t07:00\tEND\tSLEEP ( 10 )\n");
    EXPECT_EQ(eventSummary(table, 4), "END");
}

TEST(AutomationTexts, EventTenEndsWithEnd) {
    AutomationTable table;
    for (int n = 1; n <= 10; ++n) {
        table.event(n) = {"FRI", "10:0" + std::to_string(n % 10), "RUN", "1"};
    }
    EXPECT_EQ(eventSummary(table, 10), "10\tFRI\t10:00\tEND\tRUN ( 1 )");
    EXPECT_EQ(eventSummary(table, 9), "09\tFRI\t10:09\t10:00\tRUN ( 1 )");
}

} // namespace
} // namespace kqvdr
