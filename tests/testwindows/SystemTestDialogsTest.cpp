#include "CResultDetailsDlg.h"
#include "CStopSystemTestDlg.h"
#include "CSystemTestDlg.h"
#include "CSystemTestResultDlg.h"
#include "CVerdictPicture.h"
#include "DialogTesting.h"
#include "ManualClock.h"
#include "ScriptedMessageBoxes.h"
#include "TemporaryDirectory.h"
#include "TestLogBuilder.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace kqvdr {
namespace {

using test::control;
using test::TestLogBuilder;

// Method 1 heats and holds; method 2 never becomes ready.
std::string sampleLog() {
    TestLogBuilder log;
    log.add({.ready = "F", .neb = 25.0, .evap = 25.0}, 10).add({.evap = 80.2}, 6);
    log.add({.ready = "F", .neb = 25.0, .evap = 25.0, .method = 2}, 6);
    return log.text;
}

struct ResultsFixture : ::testing::Test {
    CSystemTestResultDlg& open(const std::string& content) {
        test::writeBytes(log, content);
        dialog =
            std::make_unique<CSystemTestResultDlg>("KQ-VDR1000 Control", "003_017", log, messages);
        dialog->analyse();
        return *dialog;
    }
    QString pictureVerdict(int i) {
        return control<CVerdictPicture>(*dialog, CSystemTestResultDlg::ResponsePicture + i)
            ->accessibleName();
    }
    QStringList lines(QWidget& details) {
        auto* list = details.findChild<QListWidget*>(QStringLiteral("1029"));
        QStringList out;
        for (int i = 0; list != nullptr && i < list->count(); ++i) {
            out << list->item(i)->data(Qt::UserRole).toString();
        }
        return out;
    }

    test::TemporaryDirectory dir;
    std::filesystem::path log = dir.file("003_017.log");
    test::ScriptedMessageBoxes messages;
    std::unique_ptr<CSystemTestResultDlg> dialog;
};

TEST_F(ResultsFixture, ShowsTheFourVerdictsAndEnablesTheButtons) {
    CSystemTestResultDlg& results = open(sampleLog());
    EXPECT_EQ(results.windowTitle(), "KQ-VDR1000 Control - System Test (003-017)");
    EXPECT_EQ(pictureVerdict(0), "failed");
    EXPECT_EQ(pictureVerdict(1), "failed");
    EXPECT_EQ(pictureVerdict(2), "passed");
    EXPECT_EQ(pictureVerdict(3), "passed");
    for (int id = 1368; id <= 1374; ++id) {
        EXPECT_TRUE(control<QPushButton>(results, id)->isEnabled()) << id;
    }
}

// Save as PDF writes the report's pages for the rows on screen; a path it cannot write is
// reported and leaves nothing behind.
TEST_F(ResultsFixture, SaveAsPdfWritesTheReportOrSaysWhyNot) {
    CSystemTestResultDlg& results = open(sampleLog());
    const ReportData data = results.reportData();
    EXPECT_EQ(data.serial, "003_017");
    EXPECT_EQ(data.rows.size(), results.results().size());
    EXPECT_FALSE(data.date.empty());

    const auto pdf = dir.file("report.pdf");
    results.setPdfPathChooser([&pdf] { return QString::fromStdString(pdf.string()); });
    QTest::mouseClick(control<QPushButton>(results, CSystemTestResultDlg::SaveReportButton),
                      Qt::LeftButton);
    EXPECT_GT(std::filesystem::file_size(pdf), 1000u);
    EXPECT_TRUE(messages.shown.empty());

    results.setPdfPathChooser(
        [this] { return QString::fromStdString(dir.file("no/r.pdf").string()); });
    QTest::mouseClick(control<QPushButton>(results, CSystemTestResultDlg::SaveReportButton),
                      Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("\nThe report cannot be saved: ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
}

TEST_F(ResultsFixture, DetailsListOneLineARowInTheirFormats) {
    CSystemTestResultDlg& results = open(sampleLog());
    std::unique_ptr<QDialog> response(results.makeDetails(CSystemTestResultDlg::ResponseButton));
    EXPECT_EQ(response->windowTitle(), "KQ- VDR 1000 Control - Temperature Response");
    EXPECT_EQ(lines(*response), (QStringList{"1 \t18:00:15\t\t0:26:52\t\t0:05:00\t\tPass",
                                             "2 \t18:08:15\t\t0:26:52\t\t0:02:30\t\tFail"}));
    std::unique_ptr<QDialog> baseline(results.makeDetails(CSystemTestResultDlg::BaselineButton));
    EXPECT_EQ(lines(*baseline).at(0), "1 \t\t0.150\t\t0.050\t\tPass");
    std::unique_ptr<QDialog> gas(results.makeDetails(CSystemTestResultDlg::MassFlowButton));
    EXPECT_EQ(lines(*gas).at(1), "2 \t\t270\t\t0\t\tPass");
    std::unique_ptr<QDialog> sheet(results.makeDetails(CSystemTestResultDlg::StabilityButton));
    EXPECT_EQ(sheet->windowTitle(), "KQ-VDR1000 Control - Temperature Stability");
    auto* pages = static_cast<CTempStabSheet*>(sheet.get());
    EXPECT_EQ(lines(*pages->nebuliserPage()),
              (QStringList{QString::fromUtf8("1 \t\t\u00b1 0.5\t0.0\t1.0\t0.00\t\tPass"),
                           "2 \t\t-\t-\t-\t-\t\tFail"}));
    EXPECT_EQ(lines(*pages->evaporatorPage()).at(0),
              QString::fromUtf8("1 \t\t\u00b1 0.5\t0.2\t1.0\t0.00\t\tPass"));
}

TEST_F(ResultsFixture, MethodSettingsListsEachRowsSetpoints) {
    CSystemTestResultDlg& results = open(sampleLog());
    control<QPushButton>(results, CSystemTestResultDlg::MethodSettingsButton)->click();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "\nMethod\t\tNeb SetPt\tEvap SetPt\tGas SetPt\n\n"
                                      "1\t\t100\t\t80\t\t1.00\n2\t\t100\t\t80\t\t1.00\n");
}

TEST_F(ResultsFixture, UnreadableLogSaysSoAndLeavesTheButtonsDisabled) {
    dialog = std::make_unique<CSystemTestResultDlg>("KQ-VDR1000 Control", "003-017",
                                                    dir.file("gone.log"), messages);
    dialog->analyse();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "KQ-VDR1000 Control - System Test 003_017");
    EXPECT_EQ(messages.shown[0].text, "\nError opening instruments System Test file for "
                                      "analysis.\n\nSystem Analysis will not be carried out.");
    EXPECT_FALSE(control<QPushButton>(*dialog, 1368)->isEnabled());
    EXPECT_FALSE(control<CVerdictPicture>(*dialog, 1336)->isVisibleTo(dialog.get()));
}

TEST_F(ResultsFixture, ForeignLogShowsNothingTestedAndNoPassBanner) {
    open("just some text\n");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pictureVerdict(i), "not tested");
    }
    std::unique_ptr<QDialog> response(dialog->makeDetails(CSystemTestResultDlg::ResponseButton));
    EXPECT_EQ(response->findChild<QWidget*>(QStringLiteral("banner"))->accessibleName(),
              "not tested");
}

TEST_F(ResultsFixture, UnreadableLinesAreCountedWithTheMethodsThatLostThem) {
    TestLogBuilder log;
    log.add({.ready = "F", .neb = 25.0, .evap = 25.0}, 10).add({}, 6);
    log.raw("18:08:15 100 80 50 1.0 1e308 80.0 1.0 0.05 40.0 RUN T F T 1  -  \r\n");
    log.add({.method = 2}, 3);
    open(log.text);
    auto* note = dialog->findChild<QLabel*>(QStringLiteral("unreadable"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisibleTo(dialog.get()));
    EXPECT_EQ(note->text(), "1 line of the log could not be read and was left out; it is line "
                            "17. Methods with lost lines: 1.");
    EXPECT_EQ(dialog->results().size(), 2u);
    EXPECT_EQ(dialog->reportData().firstUnreadableLine, 17u);

    open(sampleLog());
    EXPECT_FALSE(
        dialog->findChild<QLabel*>(QStringLiteral("unreadable"))->isVisibleTo(dialog.get()));
}

TEST_F(ResultsFixture, ErrorRecordsOnlyPassNoTestAndShowDashes) {
    TestLogBuilder log;
    log.add({.mode = "ERROR"}, 3).add({.mode = "ERROR", .method = 2}, 3);
    open(log.text);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pictureVerdict(i), "not tested") << i;
    }
    std::unique_ptr<QDialog> response(dialog->makeDetails(CSystemTestResultDlg::ResponseButton));
    EXPECT_EQ(lines(*response).at(0), "1 \t-\t\t-\t\t-\t\t-");
    std::unique_ptr<QDialog> gas(dialog->makeDetails(CSystemTestResultDlg::MassFlowButton));
    EXPECT_EQ(lines(*gas).at(1), "2 \t\t270\t\t-\t\t-");
    std::unique_ptr<QDialog> sheet(dialog->makeDetails(CSystemTestResultDlg::StabilityButton));
    auto* pages = static_cast<CTempStabSheet*>(sheet.get());
    EXPECT_EQ(
        pages->nebuliserPage()->findChild<QWidget*>(QStringLiteral("banner"))->accessibleName(),
        "not tested");
    control<QPushButton>(*dialog, CSystemTestResultDlg::MethodSettingsButton)->click();
    EXPECT_EQ(messages.shown.back().text, "\nMethod\t\tNeb SetPt\tEvap SetPt\tGas SetPt\n\n"
                                          "1\t\t-\t\t-\t\t-\n2\t\t-\t\t-\t\t-\n");
}

TEST_F(ResultsFixture, TheReportIsNotSavedOverTheLog) {
    CSystemTestResultDlg& results = open(sampleLog());
    results.setPdfPathChooser([this] { return QString::fromStdString(log.string()); });
    control<QPushButton>(results, CSystemTestResultDlg::SaveReportButton)->click();
    EXPECT_EQ(test::readBytes(log), sampleLog());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("cannot be saved over the test log"), std::string::npos);
}

struct IdentifyFixture : ::testing::Test {
    std::unique_ptr<CSystemTestDlg> open(bool fine = false) {
        auto dialog = std::make_unique<CSystemTestDlg>("KQ-VDR1000 Control", fine, "18:00", "07:00",
                                                       dir.path(), messages);
        test::showActive(*dialog);
        return dialog;
    }
    // Types the three digits, leaving the focus in the field.
    QWidget* typeSerial(CSystemTestDlg& dialog, const char* digits) {
        auto* edit = control<QWidget>(dialog, CSystemTestDlg::SerialEdit);
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_End);
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        QTest::keyClicks(edit, digits);
        return edit;
    }
    // Types the three digits and leaves the field.
    void enterSerial(CSystemTestDlg& dialog, const char* digits) {
        typeSerial(dialog, digits)->clearFocus();
        test::button(dialog, "OK")->setFocus();
    }

    test::TemporaryDirectory dir;
    test::TemporaryDirectory network;
    test::ScriptedMessageBoxes messages;
};

TEST_F(IdentifyFixture, SerialFieldGivesTheFileFormAndTheLogStaysLocalWithoutSaveDir) {
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), "KQ-VDR1000 Control - System Test");
    EXPECT_EQ(control<QLineEdit>(*dialog, CSystemTestDlg::StartEdit)->text(), "18:00");
    enterSerial(*dialog, "042");
    EXPECT_EQ(dialog->instrument().testSerial, "003_042");
    EXPECT_FALSE(dialog->instrument().saveToNetwork);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(IdentifyFixture, SaveDirSendsTheLogThereAndWarnsOfAnEarlierTest) {
    test::writeBytes(dir.file("savedir.txt"), network.path().string());
    test::writeBytes(network.file("M03_007.log"), "earlier");
    auto dialog = open(true);
    enterSerial(*dialog, "007");
    EXPECT_EQ(dialog->instrument().testSerial, "M03_007");
    EXPECT_TRUE(dialog->instrument().saveToNetwork);
    EXPECT_EQ(dialog->instrument().networkLogPath, network.file("M03_007.log"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("\nThe instrument you have specified has already been "
                                           "tested.\n\nAfter clearing this warning",
                                           0),
              0u);
}

TEST_F(IdentifyFixture, SaveDirWithALineBreakCannotBeReachedAndCancels) {
    test::writeBytes(dir.file("savedir.txt"), network.path().string() + "\n");
    auto dialog = open();
    enterSerial(*dialog, "001");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "\nError attempting to access Network Drive, cannot proceed "
                                      "with the System Test.");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
}

// Return or Enter in the serial field presses OK before the field is ever left: the typed
// serial is the one tested, and its network check still decides where the log goes.
TEST_F(IdentifyFixture, ReturnOrEnterInTheSerialFieldTestsTheTypedSerial) {
    const struct {
        const char* name;
        bool fine;
        Qt::Key key;
        bool saveDir;
        const char* serial;
    } cases[] = {
        {"Return", false, Qt::Key_Return, false, "003_042"},
        {"Enter, fine gas flow", true, Qt::Key_Enter, false, "M03_042"},
        {"Return with a shared directory", false, Qt::Key_Return, true, "003_042"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir.file("savedir.txt"));
        if (c.saveDir) {
            test::writeBytes(dir.file("savedir.txt"), network.path().string());
        }
        auto dialog = open(c.fine);
        QTest::keyClick(typeSerial(*dialog, "042"), c.key);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(dialog->instrument().testSerial, c.serial);
        EXPECT_EQ(dialog->instrument().saveToNetwork, c.saveDir);
        if (c.saveDir) {
            EXPECT_EQ(dialog->instrument().networkLogPath, network.file("003_042.log"));
        }
        EXPECT_TRUE(messages.shown.empty());
    }
}

// The warning of an earlier test must leave the operator the choice it offers, so Return does
// not close the dialog behind it; OK again then goes on without a second warning.
TEST_F(IdentifyFixture, ReturnOnAnInstrumentTestedBeforeWarnsAndWaitsForASecondOk) {
    test::writeBytes(dir.file("savedir.txt"), network.path().string());
    test::writeBytes(network.file("003_042.log"), "earlier");
    auto dialog = open();
    QWidget* field = typeSerial(*dialog, "042");
    QTest::keyClick(field, Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("\nThe instrument you have specified has already", 0),
              0u);
    EXPECT_TRUE(dialog->isVisible());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(dialog->instrument().networkLogPath, network.file("003_042.log"));
}

TEST_F(IdentifyFixture, ReturnWithAnUnreachableSharedDirectoryCancels) {
    test::writeBytes(dir.file("savedir.txt"), network.path().string() + "\n");
    auto dialog = open();
    QTest::keyClick(typeSerial(*dialog, "042"), Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "\nError attempting to access Network Drive, cannot proceed "
                                      "with the System Test.");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
}

// The night's test ends only by a click on Stop System Test, or Space on it.
TEST(StopSystemTestDlgTest, ReturnEnterAndEscapeLeaveTheTestAndOnlyAClickOrSpaceEndsIt) {
    for (const bool space : {false, true}) {
        SCOPED_TRACE(space ? "Space" : "click");
        test::ManualClock clock;
        int stops = 0;
        QPointer<CStopSystemTestDlg> dialog =
            new CStopSystemTestDlg("KQ-VDR1000 Control - System Test (003-001)", "18:00:00",
                                   "07:00:00", clock, [&stops] { ++stops; });
        test::showActive(*dialog);
        auto* stop = control<QPushButton>(*dialog, CStopSystemTestDlg::StopButton);
        stop->setFocus();
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(stop, key);
            QTest::keyClick(dialog, key);
        }
        EXPECT_EQ(stops, 0);
        EXPECT_TRUE(dialog->isVisible());
        if (space) {
            QTest::keyClick(stop, Qt::Key_Space);
        } else {
            QTest::mouseClick(stop, Qt::LeftButton);
        }
        EXPECT_EQ(stops, 1);
        delete dialog;
    }
}

TEST(StopSystemTestDlgTest, CountsOnlyOnceStartedAndStopPerformsTheTestEnd) {
    test::ManualClock clock;
    clock.time = {2026, 12, 8, 1, 0, 0, 2};
    int stops = 0;
    auto* dialog = new CStopSystemTestDlg("KQ-VDR1000 Control - System Test (003-001)", "18:00:00",
                                          "07:00:00", clock, [&stops] { ++stops; });
    dialog->show();
    EXPECT_EQ(dialog->pos(), QPoint(258, 220));
    dialog->refresh();
    EXPECT_EQ(control<QLabel>(*dialog, CStopSystemTestDlg::PercentLabel)->text(), "0 %");
    dialog->startCounting();
    dialog->refresh();
    EXPECT_EQ(control<QLabel>(*dialog, CStopSystemTestDlg::PercentLabel)->text(), "53 %");
    EXPECT_EQ(control<QProgressBar>(*dialog, CStopSystemTestDlg::ProgressBar)->value(), 53);
    dialog->close(); // the title bar's close does not end the test
    EXPECT_TRUE(dialog->isVisible());
    control<QPushButton>(*dialog, CStopSystemTestDlg::StopButton)->click();
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
} // namespace kqvdr
