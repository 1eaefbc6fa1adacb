#include "AutomationFile.h"
#include "CAutomationDlg.h"
#include "CStopSystemTestDlg.h"
#include "CVerdictPicture.h"
#include "CommandId.h"
#include "ControlSession.h"
#include "Night.h"
#include "SystemTestRunner.h"
#include "TemporaryDirectory.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

// Saturday evening before the night that summer time begins (28 March 2027).
const LocalTime kSaturdayEvening = localDate(2027, 3, 27, 17, 50, 0);

bool shows(const SeenDialog& seen, const char* kind) {
    return seen.kind == QLatin1String(kind);
}

// Run System Test at `when`, the serial number left as offered and confirmed with Enter.
void runSystemTest(Night& night, const std::string& when) {
    night.at(when, [&night] { night.command(CommandId::RunSystemTest); });
    night.whenShown([](const SeenDialog& s) { return shows(s, "CSystemTestDlg"); }, 3s,
                    [&night](QWidget* dialog) { night.pressKey(Qt::Key_Return, dialog); });
}

// "HH:MM:SS N" for each Select method that reached the instrument.
std::vector<std::string> methodSteps(const Night& night) {
    std::vector<std::string> out;
    for (const SentCommand& command : night.sent(9)) {
        char text[32];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d %d", command.at.hour, command.at.minute,
                      command.at.second, command.words.empty() ? -1 : command.words[0]);
        out.emplace_back(text);
    }
    return out;
}

// The night summer time begins: 02:00 becomes 03:00, and the step at 02:40 falls in the hour
// that never shows.
TEST(SystemTestNight, TheNightSummerTimeBeginsAppliesEveryStepOnceAndCompletes) {
    Night night(kSaturdayEvening);
    night.clock().changeOffsetAt(night.moment("SUN 02:00:00"), 120);
    runSystemTest(night, "SAT 17:52:00");
    night.whenShown([](const SeenDialog& s) { return shows(s, "CSystemTestResultDlg"); }, 10s,
                    [](QWidget* dialog) { dialog->close(); });
    night.setTickLength(1s);
    night.runUntil("SUN 07:10:00");

    EXPECT_EQ(methodSteps(night),
              (std::vector<std::string>{"18:00:00 1", "19:20:00 2", "20:30:00 3", "21:40:00 4",
                                        "22:50:00 5", "00:00:00 6", "01:20:00 8", "03:00:00 9",
                                        "04:20:00 10"}));
    EXPECT_EQ(night.seenCount("CSystemTestResultDlg"), 1) << "completed and analysed";
    EXPECT_FALSE(night.session().systemTest().running());
    const auto lines = night.lines("003_001.log");
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().substr(0, 8), "18:00:15");
    EXPECT_EQ(lines.back().substr(0, 8), "06:59:45");
    // 13 hours less the hour that never was, two lines a minute.
    EXPECT_EQ(lines.size(), 12u * 120u);
}

TEST(SystemTestNight, ASecondStartIsRefusedAndKeepsTheOperatorsMethods) {
    Night night(kSaturdayEvening);
    runSystemTest(night, "SAT 17:51:00");
    std::string keptMethods;
    night.at("SAT 17:52:00", [&] { keptMethods = readBytes(night.dir() / "Methods.mtd"); });
    night.at("SAT 17:53:00", [&] { night.command(CommandId::RunSystemTest); });
    night.at("SAT 17:54:00", [&] { night.command(CommandId::Automation); });
    night.runUntil("SAT 17:56:00");

    EXPECT_EQ(night.seenCount("CSystemTestDlg"), 1);
    EXPECT_EQ(night.seenCount("QMessageBox", "003-001 is running"), 2)
        << "both refusals say what runs";
    EXPECT_EQ(night.window<CAutomationDlg>(), nullptr);
    EXPECT_TRUE(night.session().systemTest().running());
    EXPECT_FALSE(keptMethods.empty());
    EXPECT_EQ(readBytes(night.dir() / "Methods.mtd"), keptMethods);
}

TEST(SystemTestNight, TheTestsLogIsNotTheLogMenus) {
    Night night(kSaturdayEvening);
    runSystemTest(night, "SAT 17:51:00");
    night.at("SAT 18:01:00", [&] { night.command(CommandId::StopLogging); });
    night.at("SAT 18:02:00", [&] { night.command(CommandId::SaveCurrentLog); });
    night.runUntil("SAT 18:05:00");

    EXPECT_EQ(night.seenCount("QMessageBox", "the test's own"), 2);
    EXPECT_EQ(night.seenCount("CSaveLogDlg"), 0);
    EXPECT_TRUE(night.session().log().testLogOpen());
    EXPECT_EQ(night.lines("003_001.log").back().substr(0, 8), "18:04:45");
}

TEST(SystemTestNight, AnAutomationRefusesASystemTest) {
    Night night(kSaturdayEvening);
    ASSERT_FALSE(writeAutomationFile(night.dir(), [] {
        Timetable table = defaultTimetable();
        table[0] = {"SAT", "18:00", "RUN", "1"};
        return table;
    }()));
    night.at("SAT 17:51:00", [&] { night.command(CommandId::Automation); });
    night.at("SAT 17:51:05",
             [&] { Night::click(night.window<CAutomationDlg>(), QStringLiteral("Ok")); });
    night.at("SAT 17:52:00", [&] { night.command(CommandId::RunSystemTest); });
    night.runUntil("SAT 17:53:00");

    EXPECT_EQ(night.seenCount("QMessageBox", "An automation is running"), 1);
    EXPECT_EQ(night.seenCount("CSystemTestDlg"), 0);
    EXPECT_TRUE(night.session().automation().running());
}

// A log that cannot be created ends the night at once, with one message, and analyses nothing:
// an old file of the same name is another night's.
TEST(SystemTestNight, ATestLogThatCannotBeCreatedStopsTheTestWithOneMessage) {
    Night night(kSaturdayEvening);
    std::filesystem::create_directory(night.dir() / "003_001.log");
    runSystemTest(night, "SAT 17:51:00");
    night.runUntil("SAT 18:30:00");

    EXPECT_EQ(night.seenCount("QMessageBox"), 1);
    EXPECT_EQ(night.seenCount("QMessageBox", "could not be created"), 1);
    EXPECT_EQ(night.seenCount("CSystemTestResultDlg"), 0);
    EXPECT_FALSE(night.session().systemTest().running());
    EXPECT_EQ(night.sent(0).size(), 0u) << "no step was applied";
    EXPECT_EQ(night.window<CStopSystemTestDlg>(), nullptr);
}

TEST(SystemTestNight, TheSerialTypedAndConfirmedWithEnterIsTheOneTested) {
    Night night(kSaturdayEvening);
    night.at("SAT 17:51:00", [&] { night.command(CommandId::RunSystemTest); });
    night.whenShown([](const SeenDialog& s) { return shows(s, "CSystemTestDlg"); }, 3s,
                    [](QWidget* dialog) {
                        auto* serial = dialog->findChild<QLineEdit*>(QStringLiteral("1321"));
                        ASSERT_NE(serial, nullptr);
                        serial->setFocus();
                        serial->setCursorPosition(4);
                        QTest::keyClicks(serial, QStringLiteral("042"));
                        QTest::keyClick(serial, Qt::Key_Return);
                    });
    night.runUntil("SAT 18:01:00");

    auto* progress = night.window<CStopSystemTestDlg>();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->windowTitle().endsWith(QStringLiteral("(003-042)")))
        << progress->windowTitle().toStdString();
    EXPECT_TRUE(std::filesystem::exists(night.dir() / "003_042.log"));
    EXPECT_FALSE(std::filesystem::exists(night.dir() / "003_001.log"));
}

// A night the instrument spent in its error mode from the first line to the last.
std::string allErrorLog() {
    std::string text;
    int second = 18 * 3600 + 15;
    for (int method = 1; method <= 10; ++method) {
        for (int line = 0; line < 120; ++line, second += 30) {
            char buffer[128];
            std::snprintf(buffer, sizeof buffer,
                          "%02d:%02d:%02d 100 80 50 1.0 25.0 25.0 0.1 0.06 25.0 ERROR F F F %d GAS "
                          "\r\n",
                          second / 3600 % 24, second / 60 % 60, second % 60, method);
            text += buffer;
        }
    }
    return text;
}

TEST(SystemTestNight, ALogWithoutEvidenceCertifiesNothing) {
    Night night(kSaturdayEvening);
    const std::filesystem::path log = night.dir() / "003_777.log";
    writeBytes(log, allErrorLog());
    night.at("SAT 17:51:00", [&] { night.command(CommandId::AnalyzeSystemTestLog); });
    night.whenShown([](const SeenDialog& s) { return shows(s, "QFileDialog"); }, 2s,
                    [&log](QWidget* dialog) {
                        // The person types the log's path into the name field and presses Enter.
                        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                        ASSERT_NE(name, nullptr);
                        name->setFocus();
                        name->setText(QString::fromStdString(log.string()));
                        QTest::keyClick(name, Qt::Key_Return);
                    });
    std::vector<Verdict> verdicts;
    night.whenShown([](const SeenDialog& s) { return shows(s, "CSystemTestResultDlg"); }, 2s,
                    [&verdicts](QWidget* dialog) {
                        for (auto* picture : dialog->findChildren<CVerdictPicture*>()) {
                            verdicts.push_back(picture->verdict());
                        }
                        dialog->close();
                    });
    night.runUntil("SAT 17:53:00");

    EXPECT_EQ(night.seenCount("CSystemTestResultDlg"), 1) << [&night] {
        std::string kinds;
        for (const SeenDialog& seen : night.seen()) {
            kinds += seen.kind.toStdString() + " " + seen.text.toStdString() + "; ";
        }
        return kinds;
    }();
    ASSERT_EQ(verdicts.size(), 4u);
    for (const Verdict verdict : verdicts) {
        EXPECT_EQ(verdict, Verdict::NotTested);
    }
}

} // namespace
} // namespace kqvdr::test
