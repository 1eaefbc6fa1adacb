#include "AutomationFile.h"
#include "AutomationRunner.h"
#include "CAutomationDlg.h"
#include "CComSettingsDlg.h"
#include "CommandId.h"
#include "ControlSession.h"
#include "Night.h"

#include <gtest/gtest.h>

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

const LocalTime kMondayEvening = localDate(2027, 3, 22, 17, 50, 0);

// The USB adapter is pulled out at 18:10 in the middle of a logged timetable and put back at
// 18:12, and nobody answers the port dialog: the communication error is handled as for a
// silent instrument (the log and the timetable end, once), and the poll comes back by itself.
TEST(AdapterNight, AnAdapterPulledOutDuringALoggedAutomationIsReopenedWithoutAnyone) {
    Night night(kMondayEvening);
    Timetable table = defaultTimetable();
    table[0] = {"MON", "18:00", "RUN", "1"};
    table[1] = {"MON", "18:30", "GAS SAVE", "2"};
    ASSERT_FALSE(writeAutomationFile(night.dir(), table));
    night.at("MON 17:55:00", [&] { night.command(CommandId::Automation); });
    night.at("MON 17:55:00",
             [&] { Night::click(night.window<CAutomationDlg>(), QStringLiteral("Ok")); });
    night.whenShown([](const SeenDialog& seen) { return seen.kind == "CComSettingsDlg"; }, 1h,
                    [](QWidget*) {});

    night.at("MON 18:10:00", [&] { night.unplugAdapter(); });
    int requestsAtReturn = -1;
    night.at("MON 18:12:00", [&] {
        night.plugAdapterBack();
        requestsAtReturn = night.sentCount(17);
    });
    // The first status request that reaches the instrument after the return, to the tenth of
    // a second.
    double firstSweepAfter = -1;
    for (int tenth = 1; tenth <= 100; ++tenth) {
        night.atUtc(night.moment("MON 18:12:00") + tenth * 100, [&, tenth] {
            if (firstSweepAfter < 0 && requestsAtReturn >= 0 &&
                night.sentCount(17) > requestsAtReturn) {
                firstSweepAfter = tenth / 10.0;
            }
        });
    }
    night.runUntil("MON 18:20:00");

    EXPECT_TRUE(night.exitCodes().empty());
    EXPECT_EQ(night.seenCount("QMessageBox", "COMMUNICATION ERROR"), 1);
    EXPECT_EQ(night.seenCount("CComSettingsDlg"), 1);
    EXPECT_FALSE(night.session().automation().running()) << "ended by the error, as before";
    EXPECT_FALSE(night.session().log().loggingActive());
    const auto lines = night.lines("vdr_com1.log");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().substr(0, 8), "18:00:15");
    EXPECT_EQ(lines.back().substr(0, 8), "18:09:45") << "nothing logged after the line went";

    ASSERT_GT(firstSweepAfter, 0) << "the poll never came back";
    EXPECT_LE(firstSweepAfter, 5.0);
    std::printf("[ figure ] first status request %.1f s after the adapter came back\n",
                firstSweepAfter);
    const std::size_t commands = night.sent().size();
    night.runUntil("MON 18:25:00");
    EXPECT_GT(night.sentCount(17), requestsAtReturn + 250) << "the poll runs on";
    EXPECT_EQ(night.sent().size(), commands) << "no command but the poll's without the person";
}

} // namespace
} // namespace kqvdr::test
