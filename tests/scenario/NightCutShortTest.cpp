#include "AuditLine.h"
#include "AuditTrail.h"
#include "AuditVerifier.h"
#include "AutomationFile.h"
#include "CAutomationDlg.h"
#include "CStopSystemTestDlg.h"
#include "CommandId.h"
#include "CommandLine.h"
#include "ControlSession.h"
#include "Night.h"
#include "RunMarker.h"
#include "SystemTestRunner.h"
#include "VerifyAuditCommand.h"

#include <gtest/gtest.h>

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

const LocalTime kSaturdayEvening = localDate(2027, 3, 27, 17, 50, 0);

bool isCutShortQuestion(const SeenDialog& seen) {
    return seen.kind == "QMessageBox" && seen.text.contains(QStringLiteral("was cut short"));
}

// Run System Test at `when`, the serial number left as offered and confirmed with Enter.
void runSystemTest(Night& night, const std::string& when) {
    night.at(when, [&night] { night.command(CommandId::RunSystemTest); });
    night.whenShown([](const SeenDialog& s) { return s.kind == "CSystemTestDlg"; }, 3s,
                    [&night](QWidget* dialog) { night.pressKey(Qt::Key_Return, dialog); });
}

// The user methods' setpoints as the instrument last reported them.
std::vector<std::array<int, 6>> setpoints(Night& night) {
    std::vector<std::array<int, 6>> out;
    const MethodTable& methods = night.session().state().methods;
    for (int number = 1; number < kMethodCount; ++number) {
        const MethodRecord& m = methods[static_cast<std::size_t>(number)];
        out.push_back({m.evaporatorTemp, m.nebuliserTemp, m.transferLineTemp, m.gasFlow,
                       m.autozeroOffset, m.timeConstant});
    }
    return out;
}

std::vector<AuditFields> trail(const Night& night) {
    std::vector<AuditFields> out;
    for (const std::string& line : night.lines(kAuditFile)) {
        if (const auto fields = auditFields(line)) {
            out.push_back(*fields);
        }
    }
    return out;
}

int eventsNamed(const Night& night, const std::string& event) {
    int count = 0;
    for (const AuditFields& fields : trail(night)) {
        count += fields.event == event ? 1 : 0;
    }
    return count;
}

int verifyAuditExitCode(const Night& night) {
    CommandLine line;
    line.verifyAudit = true;
    line.auditFile = (night.dir() / kAuditFile).string();
    return verifyAuditCommand(line, 0, nullptr);
}

// The program is killed at each stage of a system test and started again on its folder. Where
// the operator's methods were not yet back, the start says which test was cut short, offers them
// back, and the instrument has them again; the trail records it and verifies.
TEST(NightCutShort, ATestCutShortAtAnyStageGetsTheOperatorsMethodsBackAtTheNextStart) {
    const struct {
        const char* stage;
        const char* cutAt;
        const char* lookAt; // two minutes after the new start
        bool stopFirst;     // the operator stopped the test before the power went
    } stages[] = {
        {"waiting for step 1", "SAT 17:55:00", "SAT 17:57:00", false},
        {"step 1 applied, the log open", "SAT 18:05:00", "SAT 18:07:00", false},
        {"step 3 applied", "SAT 20:45:00", "SAT 20:47:00", false},
        {"stopped by the operator, methods back", "SAT 18:20:00", "SAT 18:22:00", true},
    };
    for (const auto& stage : stages) {
        SCOPED_TRACE(stage.stage);
        Night night(kSaturdayEvening);
        night.runUntil("SAT 17:50:30");
        const auto operators = setpoints(night);
        runSystemTest(night, "SAT 17:51:00");
        if (stage.stopFirst) {
            night.at("SAT 18:10:00", [&] {
                Night::click(night.window<CStopSystemTestDlg>(),
                             QStringLiteral("Stop System Test"));
            });
        }
        night.setTickLength(1s);
        night.runUntil(stage.cutAt);
        if (!stage.stopFirst) {
            ASSERT_TRUE(night.session().systemTest().running());
            ASSERT_NE(setpoints(night), operators) << "the instrument holds the test's methods";
        }

        night.cutPower();
        night.whenShown(isCutShortQuestion, 5s,
                        [](QWidget* box) { Night::click(box, QStringLiteral("Yes")); });
        night.restart();
        night.setTickLength(100ms);
        night.runUntil(stage.lookAt);

        const int asked = night.seenCount("QMessageBox", "was cut short");
        EXPECT_EQ(asked, stage.stopFirst ? 0 : 1);
        if (asked == 1) {
            EXPECT_EQ(night.seenCount("QMessageBox", "The System Test of instrument 003-001, "
                                                     "started 2027-03-27 17:51, was cut short"),
                      1);
            EXPECT_EQ(eventsNamed(night, "system test cut short"), 1);
        }
        EXPECT_FALSE(night.session().systemTest().running());
        EXPECT_EQ(setpoints(night), operators) << "the instrument has the operator's methods";
        EXPECT_FALSE(std::filesystem::exists(night.dir() / kSystemTestMarkerFile));
        EXPECT_TRUE(verifyAuditFile(night.dir() / kAuditFile).intact());
    }
}

// The power goes in the middle of writing an audit line: the next start records the cut line
// and chains on, and the trail verifies with the power cut named, not as tampering.
TEST(NightCutShort, AnAuditLineTornByThePowerCutVerifiesAsAPowerCut) {
    Night night(kSaturdayEvening);
    runSystemTest(night, "SAT 17:51:00");
    night.runUntil("SAT 17:55:00");
    night.cutPower();
    const std::string bytes = readBytes(night.dir() / kAuditFile);
    ASSERT_GT(bytes.size(), 2u);
    const std::size_t lineStart = bytes.rfind('\n', bytes.size() - 2) + 1;
    const std::size_t kept = (bytes.size() - lineStart) / 2;
    writeBytes(night.dir() / kAuditFile, bytes.substr(0, lineStart + kept));
    const std::size_t cutLine = night.lines(kAuditFile).size();

    night.whenShown(isCutShortQuestion, 5s,
                    [](QWidget* box) { Night::click(box, QStringLiteral("No")); });
    night.restart();
    night.runUntil("SAT 17:57:00");

    const AuditVerification result = verifyAuditFile(night.dir() / kAuditFile);
    EXPECT_TRUE(result.intact()) << verificationReport("audit.log", result);
    ASSERT_EQ(result.powerCuts.size(), 1u);
    EXPECT_EQ(result.powerCuts[0].line, cutLine);
    EXPECT_EQ(result.powerCuts[0].bytes, kept);
    EXPECT_NE(verificationReport("audit.log", result).find("cut off by a power cut"),
              std::string::npos);
    EXPECT_EQ(verifyAuditExitCode(night), 0);
    // Declined: the saved set stays guarded for the next test, and the start said so.
    EXPECT_EQ(night.seenCount("QMessageBox", "was cut short"), 1);
    EXPECT_TRUE(std::filesystem::exists(night.dir() / kSystemTestMarkerFile));
    EXPECT_EQ(eventsNamed(night, "audit line cut off"), 1);
    EXPECT_EQ(eventsNamed(night, "system test cut short"), 1);
}

// An automation cut short: the next start names its timetable and its last event.
TEST(NightCutShort, AnAutomationCutShortIsNamedAtTheNextStart) {
    Night night(kSaturdayEvening);
    Timetable table = defaultTimetable();
    table[0] = {"SAT", "18:00", "RUN", "1"};
    table[1] = {"SAT", "19:00", "STANDBY", "2"};
    ASSERT_FALSE(writeAutomationFile(night.dir(), table));
    night.at("SAT 17:51:00", [&] { night.command(CommandId::Automation); });
    night.at("SAT 17:51:05",
             [&] { Night::click(night.window<CAutomationDlg>(), QStringLiteral("Ok")); });
    night.setTickLength(1s);
    night.runUntil("SAT 18:30:00");
    ASSERT_TRUE(night.session().automation().running());
    night.cutPower();
    night.restart();
    night.runUntil("SAT 18:31:00");

    ASSERT_EQ(night.seenCount("QMessageBox", "An automation, started 2027-03-27 17:51:05, was "
                                             "cut short"),
              1);
    EXPECT_EQ(night.seenCount("QMessageBox", "02\tSAT\t19:00\tEND\tSTANDBY ( 2 )"), 1);
    EXPECT_EQ(night.seenCount("QMessageBox", "Its last event carried out, at 2027-03-27 "
                                             "18:00:00:\n01\tSAT\t18:00\t19:00\tRUN ( 1 )"),
              1);
    EXPECT_EQ(eventsNamed(night, "automation cut short"), 1);
    EXPECT_FALSE(std::filesystem::exists(night.dir() / kAutomationMarkerFile));
    EXPECT_FALSE(night.session().automation().running()) << "not restarted behind anyone's back";
}

} // namespace
} // namespace kqvdr::test
