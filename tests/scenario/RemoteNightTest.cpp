#include "AuditLine.h"
#include "AutomationFile.h"
#include "CAutomationDlg.h"
#include "CMainFrame.h"
#include "CStopSystemTestDlg.h"
#include "CVerdictPicture.h"
#include "ControlSession.h"
#include "Night.h"
#include "RemoteClient.h"
#include "RemoteTestHistory.h"
#include "RunMarker.h"
#include "TemporaryDirectory.h"
#include "TestVerdicts.h"
#include "ViewControl.h"

#include <QPushButton>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <gtest/gtest.h>

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

// A Friday evening of an ordinary week.
const LocalTime kFridayEvening = localDate(2027, 1, 15, 17, 50, 0);

bool shows(const SeenDialog& seen, const char* kind) {
    return seen.kind == QLatin1String(kind);
}

const char* const kFeature = "com.brackwater/detector/";

std::string definedError(const char* feature, const char* error) {
    return std::string("defined ") + kFeature + feature + "/v1/DefinedExecutionError/" + error;
}

// The scheduler starts the system test; `confirmation` gets the execution's UUID.
std::shared_future<RemoteAnswer> startTest(RemoteClient& client,
                                           sila::CommandConfirmation& confirmation) {
    return client.send([&client, &confirmation](grpc::ClientContext& context) {
        st::RunSystemTest_Parameters parameters;
        parameters.mutable_serialnumber()->set_value("003-042");
        return client.systemTest().RunSystemTest(&context, parameters, &confirmation);
    });
}

std::unique_ptr<StreamWatch<sila::ExecutionInfo>> watchExecution(RemoteClient& client,
                                                                 const std::string& uuid) {
    return std::make_unique<StreamWatch<sila::ExecutionInfo>>(
        [&client, uuid](grpc::ClientContext& context) {
            sila::CommandExecutionUUID id;
            id.set_value(uuid);
            return client.systemTest().RunSystemTest_Info(&context, id);
        });
}

RemoteAnswer result(RemoteClient& client, const std::string& uuid,
                    st::RunSystemTest_Responses& responses) {
    grpc::ClientContext context;
    sila::CommandExecutionUUID id;
    id.set_value(uuid);
    return RemoteAnswer::of(client.systemTest().RunSystemTest_Result(&context, id, &responses));
}

// The scheduler's test of the night: started at 17:51, its execution watched from 17:52.
struct RemoteRun {
    sila::CommandConfirmation confirmation;
    std::shared_future<RemoteAnswer> started;
    std::unique_ptr<StreamWatch<sila::ExecutionInfo>> execution;

    void schedule(Night& night, RemoteClient& client) {
        night.at("FRI 17:51:00", [&] { started = startTest(client, confirmation); });
        night.at("FRI 17:52:00", [&] {
            ASSERT_TRUE(RemoteClient::answer(started).ok());
            execution = watchExecution(client, uuid());
        });
    }
    std::string uuid() const { return confirmation.commandexecutionuuid().value(); }
};

std::vector<std::string> words(const st::RunSystemTest_Responses& responses) {
    return {responses.temperatureresponse().value(), responses.temperaturestability().value(),
            responses.baselinestability().value(), responses.gasflowresponse().value()};
}

// A night run from a scheduler, with nobody at the panel until the morning: the verdicts the
// client receives are those the panel showed, taken from this run's own log as the run left
// it, whatever later lands in a file of that name.
TEST(RemoteNight, ARemoteSystemTestReportsTheVerdictsThePanelShowedFromItsOwnLog) {
    Night night(kFridayEvening);
    RemoteClient client(night);
    RemoteRun run;
    run.schedule(night, client);
    std::vector<std::string> shown;
    night.whenShown([](const SeenDialog& s) { return shows(s, "CSystemTestResultDlg"); }, 10s,
                    [&shown](QWidget* dialog) {
                        for (auto* picture : dialog->findChildren<CVerdictPicture*>()) {
                            shown.emplace_back(verdictWord(picture->verdict()));
                        }
                        dialog->close();
                    });
    night.setTickLength(1s);
    night.runUntil("SAT 07:10:00");

    ASSERT_EQ(shown.size(), 4u) << "the panel showed its results";
    ASSERT_TRUE(run.execution->waitForEnd(20s));
    const auto statuses = run.execution->seen();
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back().commandstatus(), sila::ExecutionInfo::finishedSuccessfully);
    // The next night's test, or anyone, writes a log of the same name.
    writeBytes(night.dir() / "003_042.log", "07:00:15 damaged\r\n");

    st::RunSystemTest_Responses responses;
    const RemoteAnswer answer = result(client, run.uuid(), responses);
    ASSERT_TRUE(answer.ok()) << answer.summary();
    EXPECT_EQ(words(responses), shown);
    EXPECT_EQ(std::count(shown.begin(), shown.end(), std::string(verdictWord(Verdict::Passed))), 4)
        << "a healthy instrument passes every test";
    EXPECT_EQ(responses.logpath().value(), (night.dir() / "003_042.log").string());
}

// The person stops the scheduler's test and starts one of their own: the scheduler hears that
// its test was stopped, and is never handed the other test's progress or results.
TEST(RemoteNight, ARemoteTestStoppedAtThePanelStaysStoppedWhileThePanelsOwnTestRuns) {
    Night night(kFridayEvening);
    RemoteClient client(night);
    RemoteRun run;
    run.schedule(night, client);
    night.at("FRI 18:20:00", [&] {
        Night::click(night.window<CStopSystemTestDlg>(), QStringLiteral("Stop System Test"));
    });
    night.at("FRI 18:25:00", [&] { night.command(CommandId::RunSystemTest); });
    night.whenShown([](const SeenDialog& s) { return shows(s, "CSystemTestDlg"); }, 3s,
                    [&night](QWidget* dialog) { night.pressKey(Qt::Key_Return, dialog); });
    night.runUntil("FRI 18:40:00");

    ASSERT_TRUE(night.session().systemTest().running()) << "the panel's own test runs";
    ASSERT_TRUE(run.execution->waitForEnd(20s));
    EXPECT_EQ(run.execution->seen().back().commandstatus(), sila::ExecutionInfo::finishedWithError);
    st::RunSystemTest_Responses responses;
    EXPECT_EQ(result(client, run.uuid(), responses).summary(),
              definedError("SystemTest", "SystemTestStopped"));
}

std::shared_future<RemoteAnswer> cancelExecution(RemoteClient& client, const std::string& uuid) {
    return client.send([&client, uuid](grpc::ClientContext& context) {
        cc::CancelCommand_Parameters parameters;
        parameters.mutable_commandexecutionuuid()->mutable_uuid()->set_value(uuid);
        cc::CancelCommand_Responses responses;
        return client.cancel().CancelCommand(&context, parameters, &responses);
    });
}

// The audited events of this name, in order.
std::vector<AuditFields> audited(const Night& night, const std::string& event) {
    std::vector<AuditFields> found;
    for (const std::string& line : night.lines("audit.log")) {
        if (auto fields = auditFields(line); fields && fields->event == event) {
            found.push_back(*fields);
        }
    }
    return found;
}

// The scheduler cancels its test in the middle of the night: the test ends as "Stop System
// Test" ends it (stopped warning, log closed, no analysis, the operator's methods back), under
// the client's name, and the execution ends with an error that says it was cancelled.
TEST(RemoteNight, ACancelInTheNightStopsTheTestAsStopSystemTestDoesAndTheExecutionSaysSo) {
    Night night(kFridayEvening);
    RemoteClient client(night);
    RemoteRun run;
    run.schedule(night, client);
    std::shared_future<RemoteAnswer> cancelled;
    night.at("SAT 01:30:00", [&] {
        std::string uuid = run.uuid();
        std::transform(uuid.begin(), uuid.end(), uuid.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        cancelled = cancelExecution(client, uuid);
    });
    night.setTickLength(1s);
    night.runUntil("SAT 02:00:00");

    ASSERT_TRUE(RemoteClient::answer(cancelled).ok()) << RemoteClient::answer(cancelled).summary();
    EXPECT_FALSE(night.session().systemTest().running());
    EXPECT_EQ(night.window<CStopSystemTestDlg>(), nullptr);
    EXPECT_EQ(night.seenCount("QMessageBox", "has been stopped"), 1);
    EXPECT_EQ(night.seenCount("CSystemTestResultDlg"), 0) << "a stopped test is not analysed";
    EXPECT_FALSE(std::filesystem::exists(night.dir() / kSystemTestMarkerFile))
        << "the operator's methods are back";
    const auto log = night.lines("003_042.log");
    ASSERT_FALSE(log.empty());
    EXPECT_LE(log.back().substr(0, 8), "01:30:05") << "the log ends with the cancel";
    EXPECT_FALSE(night.session().log().loggingActive());

    const auto started = audited(night, "system test started");
    const auto ended = audited(night, "system test ended");
    ASSERT_EQ(started.size(), 1u);
    ASSERT_EQ(ended.size(), 1u);
    EXPECT_EQ(ended[0].newValue, "stopped");
    EXPECT_FALSE(ended[0].user.empty());
    EXPECT_EQ(ended[0].user, started[0].user) << "the client that cancelled is named";

    ASSERT_TRUE(run.execution->waitForEnd(20s));
    EXPECT_EQ(run.execution->seen().back().commandstatus(), sila::ExecutionInfo::finishedWithError);
    st::RunSystemTest_Responses responses;
    const RemoteAnswer answer = result(client, run.uuid(), responses);
    EXPECT_EQ(answer.summary(), definedError("SystemTest", "SystemTestStopped"));
    EXPECT_NE(answer.error.definedexecutionerror().message().find("cancelled"), std::string::npos);

    grpc::ClientContext again;
    cc::CancelCommand_Parameters parameters;
    parameters.mutable_commandexecutionuuid()->mutable_uuid()->set_value(run.uuid());
    cc::CancelCommand_Responses nothing;
    EXPECT_EQ(
        RemoteAnswer::of(client.cancel().CancelCommand(&again, parameters, &nothing)).summary(),
        "defined org.silastandard/core.commands/CancelController/v1/DefinedExecutionError/"
        "InvalidCommandExecutionUUID")
        << "an ended execution cannot be cancelled again";
}

// CancelAll cancels what clients started: the test a person started at the panel runs on.
TEST(RemoteNight, CancelAllLeavesATestStartedAtThePanelRunning) {
    Night night(kFridayEvening);
    RemoteClient client(night);
    night.at("FRI 17:51:00", [&] { night.command(CommandId::RunSystemTest); });
    night.whenShown([](const SeenDialog& s) { return shows(s, "CSystemTestDlg"); }, 3s,
                    [&night](QWidget* dialog) { night.pressKey(Qt::Key_Return, dialog); });
    std::shared_future<RemoteAnswer> cancelled;
    night.at("FRI 18:10:00", [&] {
        cancelled = client.send([&client](grpc::ClientContext& context) {
            cc::CancelAll_Responses responses;
            return client.cancel().CancelAll(&context, {}, &responses);
        });
    });
    night.runUntil("FRI 18:15:00");

    EXPECT_TRUE(RemoteClient::answer(cancelled).ok());
    EXPECT_TRUE(night.session().systemTest().running());
    EXPECT_EQ(night.seenCount("QMessageBox", "has been stopped"), 0);
}

// A scheduler that starts and stops test after test: each execution keeps its own answer for as
// long as the server runs, however many tests followed it, and is never "waiting" again.
TEST(RemoteNight, EveryExecutionKeepsItsAnswerHoweverManyTestsFollowIt) {
    constexpr int kRuns = static_cast<int>(RemoteTestHistory::kKeptRuns) + 1;
    Night night(kFridayEvening);
    RemoteClient client(night);
    std::vector<sila::CommandConfirmation> confirmations(kRuns);
    std::vector<std::shared_future<RemoteAnswer>> started(kRuns);
    for (int i = 0; i < kRuns; ++i) {
        const std::int64_t minute = night.moment("FRI 17:51:00") + i * 60000;
        night.atUtc(minute, [&, i] { started[i] = startTest(client, confirmations[i]); });
        night.atUtc(minute + 30000, [&] {
            Night::click(night.window<CStopSystemTestDlg>(), QStringLiteral("Stop System Test"));
        });
    }
    night.runUntil("FRI 18:10:00");

    for (int i = 0; i < kRuns; ++i) {
        ASSERT_TRUE(RemoteClient::answer(started[i]).ok()) << i;
    }
    st::RunSystemTest_Responses responses;
    for (const auto& confirmation : confirmations) {
        EXPECT_EQ(result(client, confirmation.commandexecutionuuid().value(), responses).summary(),
                  definedError("SystemTest", "SystemTestStopped"));
    }
}

// A button of the main window's view, found by its control number.
void clickViewButton(Night& night, int id) {
    auto* button = night.frame().findChild<QPushButton*>(QString::number(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

std::shared_future<RemoteAnswer> storeMethod3(RemoteClient& client) {
    return client.send([&client](grpc::ClientContext& context) {
        ms::StoreMethod_Parameters parameters;
        parameters.mutable_methodnumber()->set_value(3);
        parameters.mutable_name()->set_value("Remote");
        parameters.mutable_description()->set_value("from the scheduler");
        parameters.mutable_evaporatortemperature()->set_value(60);
        parameters.mutable_nebulisertemperature()->set_value(40);
        parameters.mutable_transferlinetemperature()->set_value(50);
        parameters.mutable_gasflow()->set_value(1.6);
        parameters.mutable_autozerooffset()->set_value(5);
        parameters.mutable_timeconstant()->set_value(2);
        ms::StoreMethod_Responses responses;
        return client.methods().StoreMethod(&context, parameters, &responses);
    });
}

std::shared_future<RemoteAnswer> setMode(RemoteClient& client, const char* mode) {
    return client.send([&client, mode](grpc::ClientContext& context) {
        dc::SetMode_Parameters parameters;
        parameters.mutable_mode()->set_value(mode);
        dc::SetMode_Responses responses;
        return client.detector().SetMode(&context, parameters, &responses);
    });
}

std::shared_future<RemoteAnswer> clearFault(RemoteClient& client) {
    return client.send([&client](grpc::ClientContext& context) {
        dc::ClearFault_Responses responses;
        return client.detector().ClearFault(&context, dc::ClearFault_Parameters(), &responses);
    });
}

// Like the panel's own buttons, a scheduler's command waits for nobody's window: a window that
// waits for a person holds what it acts on when it closes. Once it is closed, the same command
// is carried out.
TEST(RemoteNight, CommandsAreRefusedWhileAWindowWaitsForAPersonAndCarriedOutOnceItCloses) {
    struct Case {
        const char* name;
        std::function<void(Night&)> open;
        std::function<std::shared_future<RemoteAnswer>(RemoteClient&)> call;
        const char* refusal;
        // Closes the window; a client that closes it returns its call.
        std::function<std::shared_future<RemoteAnswer>(Night&, RemoteClient&)> close;
    };
    const Case cases[] = {
        {"method editor", [](Night& night) { clickViewButton(night, LoadEditMethodButton); },
         storeMethod3, "MethodStore",
         [](Night& night, RemoteClient&) {
             clickViewButton(night, CancelButton);
             return std::shared_future<RemoteAnswer>();
         }},
        {"about box", [](Night& night) { night.command(CommandId::About); },
         [](RemoteClient& client) { return setMode(client, "RUN"); }, "DetectorController",
         [](Night&, RemoteClient&) {
             Night::activeModal()->close();
             return std::shared_future<RemoteAnswer>();
         }},
        {"fault dialog", [](Night& night) { night.instrument("fault GAS"); },
         [](RemoteClient& client) { return setMode(client, "STANDBY"); }, "DetectorController",
         [](Night&, RemoteClient& client) { return clearFault(client); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Night night(kFridayEvening);
        RemoteClient client(night);
        // Nobody is at the panel: windows stay open until the script closes them.
        night.whenShown([](const SeenDialog&) { return true; }, 24h, [](QWidget*) {});
        std::shared_future<RemoteAnswer> whileOpen;
        std::shared_future<RemoteAnswer> cleared;
        std::shared_future<RemoteAnswer> afterwards;
        night.at("FRI 17:51:00", [&] { c.open(night); });
        night.at("FRI 17:51:30", [&] { whileOpen = c.call(client); });
        night.at("FRI 17:52:00", [&] { cleared = c.close(night, client); });
        night.at("FRI 17:53:00", [&] { afterwards = c.call(client); });
        night.runUntil("FRI 17:54:00");

        EXPECT_EQ(RemoteClient::answer(whileOpen).summary(), definedError(c.refusal, "PanelInUse"));
        if (cleared.valid()) {
            EXPECT_TRUE(RemoteClient::answer(cleared).ok());
        }
        EXPECT_TRUE(RemoteClient::answer(afterwards).ok())
            << RemoteClient::answer(afterwards).summary();
    }
}

// The automation editor is no dialog that holds the panel: the scheduler starts the system test
// while it stands open. Its Ok then may not start a second job over the running test.
TEST(RemoteNight, TheAutomationEditorsOkIsRefusedOnceARemoteSystemTestRuns) {
    Night night(kFridayEvening);
    ASSERT_FALSE(writeAutomationFile(night.dir(), [] {
        Timetable table = defaultTimetable();
        table[0] = {"FRI", "20:00", "STANDBY", "2"};
        return table;
    }()));
    RemoteClient client(night);
    sila::CommandConfirmation confirmation;
    std::shared_future<RemoteAnswer> started;
    night.at("FRI 17:51:00", [&] { night.command(CommandId::Automation); });
    night.at("FRI 17:51:30", [&] { started = startTest(client, confirmation); });
    night.at("FRI 17:52:00",
             [&] { Night::click(night.window<CAutomationDlg>(), QStringLiteral("Ok")); });
    night.runUntil("FRI 17:55:00");

    EXPECT_TRUE(RemoteClient::answer(started).ok()) << RemoteClient::answer(started).summary();
    EXPECT_TRUE(night.session().systemTest().running());
    EXPECT_FALSE(night.session().automation().running()) << "one job at a time";
    EXPECT_EQ(night.seenCount("QMessageBox", "003-042 is running"), 1);
    night.setTickLength(1s);
    night.runUntil("FRI 20:05:00");
    EXPECT_TRUE(night.sent(0).empty() || night.sent(0).back().at.hour < 20)
        << "nothing the automation's timetable set reached the instrument";
}

} // namespace
} // namespace kqvdr::test
