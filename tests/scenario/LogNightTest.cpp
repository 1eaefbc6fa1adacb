#include "CommandId.h"
#include "ControlSession.h"
#include "Night.h"

#include <gtest/gtest.h>

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

const LocalTime kMondayEvening = localDate(2027, 3, 22, 17, 59, 0);

// The seconds field of a log line's time.
int lineSecond(const std::string& line) {
    return std::stoi(line.substr(6, 2));
}

std::string faultColumn(const std::string& line) {
    const auto end = line.find_last_not_of(' ');
    const auto start = line.find_last_of(' ', end);
    return line.substr(start + 1, end - start);
}

TEST(LogNight, WritesALineInSeconds15And45OfEveryMinute) {
    Night night(kMondayEvening);
    night.at("MON 17:59:05", [&] { night.command(CommandId::StartLogging); });
    night.runUntil("MON 18:05:00");

    const auto lines = night.lines("vdr_com1.log");
    ASSERT_EQ(lines.size(), 12u) << "17:59:15 to 18:04:45: " << testing::PrintToString(lines);
    EXPECT_EQ(lines.front().substr(0, 8), "17:59:15");
    EXPECT_EQ(lines.back().substr(0, 8), "18:04:45");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lineSecond(lines[i]), i % 2 == 0 ? 15 : 45) << lines[i];
    }
    EXPECT_EQ(night.seenCount("QMessageBox", "has been started"), 1);
}

TEST(LogNight, GoesOnThroughAFaultThatTheOperatorClears) {
    Night night(kMondayEvening);
    night.at("MON 17:59:05", [&] { night.command(CommandId::StartLogging); });
    night.at("MON 18:01:00", [&] { night.instrument("fault GAS"); });
    night.whenShown([](const SeenDialog& seen) { return seen.kind == "CGasErrDlg"; }, 5s,
                    [](QWidget* dialog) { Night::click(dialog, "Clear Error"); });
    night.runUntil("MON 18:06:00");

    EXPECT_EQ(night.seenCount("CGasErrDlg"), 1);
    EXPECT_TRUE(night.session().log().loggingActive());
    const auto lines = night.lines("vdr_com1.log");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().substr(0, 8), "18:05:45") << "logging went on after the clear";
    EXPECT_EQ(faultColumn(lines.back()), "GAS") << "later lines carry the cleared code";
    EXPECT_EQ(night.seenCount("QMessageBox", "stopped"), 0);
}

TEST(LogNight, AFaultLeftUnclearedEndsTheLogSayingSoOnceAndInTheAuditTrail) {
    Night night(kMondayEvening);
    night.at("MON 17:59:05", [&] { night.command(CommandId::StartLogging); });
    night.at("MON 18:01:00", [&] { night.instrument("fault GAS"); });
    night.whenShown([](const SeenDialog& seen) { return seen.kind == "CGasErrDlg"; }, 5s,
                    [&night](QWidget* dialog) { night.pressKey(Qt::Key_Escape, dialog); });
    night.runUntil("MON 18:04:00");

    EXPECT_FALSE(night.session().log().loggingActive());
    EXPECT_EQ(night.seenCount("QMessageBox", "has been stopped"), 1);
    const auto lines = night.lines("vdr_com1.log");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(faultColumn(lines.back()), "GAS") << "the fault's own line is the last";
    int stops = 0;
    for (const std::string& line : night.lines("audit.log")) {
        stops += line.find("fault not cleared") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(stops, 1);
}

} // namespace
} // namespace kqvdr::test
