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

// The adapter is put back at `when`; afterwards holds the seconds, to the tenth, until the first
// status request reached the instrument (negative while none has in ten seconds).
class ReturnWatch {
public:
    ReturnWatch(Night& night, const std::string& when) {
        night.at(when, [this, &night] {
            night.plugAdapterBack();
            requestsAtReturn_ = night.sentCount(17);
        });
        for (int tenth = 1; tenth <= 100; ++tenth) {
            night.atUtc(night.moment(when) + tenth * 100, [this, &night, tenth] {
                if (firstSweepAfter_ < 0 && requestsAtReturn_ >= 0 &&
                    night.sentCount(17) > requestsAtReturn_) {
                    firstSweepAfter_ = tenth / 10.0;
                    if (QWidget* modal = Night::activeModal(); modal != nullptr) {
                        modalAtFirstSweep_ = QString::fromLatin1(modal->metaObject()->className());
                    }
                }
            });
        }
    }
    double firstSweepAfter() const { return firstSweepAfter_; }
    int requestsAtReturn() const { return requestsAtReturn_; }
    // The class of the modal window open when that request went, if any.
    const QString& modalAtFirstSweep() const { return modalAtFirstSweep_; }

private:
    int requestsAtReturn_ = -1;
    double firstSweepAfter_ = -1;
    QString modalAtFirstSweep_;
};

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
    const ReturnWatch back(night, "MON 18:12:00");
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

    ASSERT_GT(back.firstSweepAfter(), 0) << "the poll never came back";
    EXPECT_LE(back.firstSweepAfter(), 5.0);
    std::printf("[ figure ] first status request %.1f s after the adapter came back\n",
                back.firstSweepAfter());
    const std::size_t commands = night.sent().size();
    night.runUntil("MON 18:25:00");
    EXPECT_GT(night.sentCount(17), back.requestsAtReturn() + 250) << "the poll runs on";
    EXPECT_EQ(night.sent().size(), commands) << "no command but the poll's without the person";
}

// Nobody is at the desk: the communication error stays on the screen for half an hour, and the
// adapter comes back, drops out again and comes back once more, all under it. The poll resumes
// each time from the ticks that run inside the message, no second message is stacked on the
// first, and when the person finally answers it and the port dialog, the program goes on.
TEST(AdapterNight, TheAdapterBackUnderAnOpenErrorMessageIsPolledAndTheMessageIsNotRepeated) {
    Night night(kMondayEvening);
    night.whenShown(
        [](const SeenDialog& seen) { return seen.text.contains("COMMUNICATION ERROR"); }, 30min,
        [](QWidget* box) { Night::click(box, QStringLiteral("OK")); });
    night.whenShown([](const SeenDialog& seen) { return seen.kind == "CComSettingsDlg"; }, 10s,
                    [](QWidget* dialog) { Night::click(dialog, QStringLiteral("Connect")); });

    night.at("MON 18:10:00", [&] { night.unplugAdapter(); });
    const ReturnWatch first(night, "MON 18:12:00");
    night.at("MON 18:20:00", [&] { night.unplugAdapter(); });
    const ReturnWatch second(night, "MON 18:21:00");
    // Counted from inside the message, which runUntil() would close at its end.
    int portDialogsUnderTheMessage = -1;
    int messagesUnderTheMessage = -1;
    night.at("MON 18:30:00", [&] {
        portDialogsUnderTheMessage = night.seenCount("CComSettingsDlg");
        messagesUnderTheMessage = night.seenCount("QMessageBox", "COMMUNICATION ERROR");
    });
    night.runUntil("MON 19:00:00");

    for (const ReturnWatch* watch : {&first, &second}) {
        ASSERT_GT(watch->firstSweepAfter(), 0) << "the poll never came back";
        EXPECT_LE(watch->firstSweepAfter(), 5.0);
        EXPECT_EQ(watch->modalAtFirstSweep(), "QMessageBox") << "polled from inside the message";
        std::printf("[ figure ] under the message: first status request %.1f s after the return\n",
                    watch->firstSweepAfter());
    }
    EXPECT_EQ(messagesUnderTheMessage, 1);
    EXPECT_EQ(portDialogsUnderTheMessage, 0) << "the message was still open";
    EXPECT_TRUE(night.exitCodes().empty());
    EXPECT_EQ(night.seenCount("QMessageBox", "COMMUNICATION ERROR"), 1);
    EXPECT_EQ(night.seenCount("CComSettingsDlg"), 1);
    const int requestsAfterConnect = night.sentCount(17);
    night.runUntil("MON 19:05:00");
    EXPECT_GT(night.sentCount(17), requestsAfterConnect + 250) << "the poll runs on";
    EXPECT_EQ(night.seenCount("QMessageBox"), 1) << "nothing else went wrong";
}

} // namespace
} // namespace kqvdr::test
