#include "AuditTrail.h"
#include "CAuditTrailDlg.h"
#include "CTrendChart.h"
#include "CUsageDlg.h"
#include "ExportCsvCommand.h"
#include "ManualClock.h"
#include "ScriptedMessageBoxes.h"
#include "TemporaryDirectory.h"
#include "TrendRing.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <gtest/gtest.h>
#include <sstream>

namespace kqvdr {
namespace {

std::vector<int> visibleSequences(QTableWidget* table) {
    std::vector<int> numbers;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (!table->isRowHidden(row)) {
            numbers.push_back(table->item(row, 0)->text().toInt());
        }
    }
    return numbers;
}

TEST(AuditTrailWindow, ShowsTheNewestFirstNarrowsBySearchAndSaysWhereTheChainBreaks) {
    test::TemporaryDirectory dir;
    test::ManualClock clock;
    {
        AuditTrail trail(dir.file(kAuditFile), clock, "tester", {});
        trail.record({AuditEventKind::ModeCommand, "", "Standby", "Run"});
        trail.record({AuditEventKind::FaultReported, "GAS", "", ""});
        trail.record({AuditEventKind::ModeCommand, "", "Run", "Sleep"});
    }
    CAuditTrailDlg window(dir.file(kAuditFile), QStringLiteral("KQ-VDR1000 Control"));
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("lines"));
    auto* status = window.findChild<QLabel*>(QStringLiteral("chainStatus"));
    EXPECT_EQ(visibleSequences(table), (std::vector<int>{3, 2, 1}));
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("Chain intact")))
        << status->text().toStdString();

    window.findChild<QLineEdit*>(QStringLiteral("search"))->setText(QStringLiteral("sleep"));
    EXPECT_EQ(visibleSequences(table), (std::vector<int>{3}));

    std::string bytes = test::readBytes(dir.file(kAuditFile));
    bytes.replace(bytes.find("GAS"), 3, "NEB");
    test::writeBytes(dir.file(kAuditFile), bytes);
    window.refresh();
    EXPECT_TRUE(status->text().startsWith(QStringLiteral("Chain broken at line 2")))
        << status->text().toStdString();
}

struct ExportWorld {
    CsvExportFiles files(const QString& log, const QString& csv) {
        return {[this, log](const QString& suggested) {
                    suggestedLog = suggested;
                    return log;
                },
                [this, csv](const QString& suggested) {
                    suggestedCsv = suggested;
                    return csv;
                }};
    }
    QString file(const char* name) const { return QString::fromStdString(dir.file(name).string()); }

    test::TemporaryDirectory dir;
    test::ScriptedMessageBoxes boxes;
    QString suggestedLog, suggestedCsv;
};

TEST(ExportAsCsv, WritesTheChosenLogAsCsvThatReadsBackLineByLine) {
    ExportWorld world;
    test::writeBytes(world.dir.file("vdr_com1.log"),
                     "10:00:15 40 60 50 1.5 39.8 60.1 1.5 0.02 35.2 RUN T F T 3  -  \r\n"
                     "10:00:45 40 60 50 1.5 39.9 60.0 1.5 0.03 35.3 RUN T F T 3  -  \r\n"
                     "not a log line\r\n");
    exportLogAsCsv(nullptr, world.boxes, QStringLiteral("KQ-VDR1000 Control"),
                   world.dir.file("vdr_com1.log"),
                   world.files(world.file("vdr_com1.log"), world.file("out.csv")));
    EXPECT_EQ(world.suggestedLog, world.file("vdr_com1.log"));
    EXPECT_EQ(world.suggestedCsv, world.file("vdr_com1.csv"));

    std::istringstream csv(test::readBytes(world.dir.file("out.csv")));
    std::vector<std::string> rows;
    for (std::string row; std::getline(csv, row);) {
        ASSERT_EQ(row.back(), '\r');
        rows.push_back(row.substr(0, row.size() - 1));
    }
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].substr(0, 10), "Date,Time,");
    EXPECT_NE(rows[2].find(",10:00:45,40,60,50,1.5,39.9,60.0,1.5,0.03,35.3,RUN,T,F,T,3,"),
              std::string::npos)
        << rows[2];
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_NE(world.boxes.shown[0].text.find("2 log lines were written"), std::string::npos);
    EXPECT_NE(world.boxes.shown[0].text.find("1 lines that are not log lines"), std::string::npos);
}

TEST(ExportAsCsv, CancellingOrAMissingLogWritesNothing) {
    ExportWorld world;
    exportLogAsCsv(nullptr, world.boxes, QStringLiteral("KQ-VDR1000 Control"),
                   world.dir.file("vdr_com1.log"), world.files(QString(), world.file("out.csv")));
    EXPECT_TRUE(world.boxes.shown.empty());
    exportLogAsCsv(nullptr, world.boxes, QStringLiteral("KQ-VDR1000 Control"),
                   world.dir.file("vdr_com1.log"),
                   world.files(world.file("missing.log"), world.file("out.csv")));
    ASSERT_EQ(world.boxes.shown.size(), 1u);
    EXPECT_EQ(world.boxes.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(std::filesystem::exists(world.dir.file("out.csv")));
}

TEST(TrendChart, DrawsEachTraceInsideThePlotForEverySpan) {
    TrendRing ring(8 * 3600);
    for (int t = 0; t < 8 * 3600; ++t) {
        TrendSample sample;
        sample.time = 1'800'000'000 + t;
        sample.values = {100.0f + t % 50, 120, 60, 60, 40, 1.5f, 1.5f, 5.0f + t % 7};
        ring.push(sample);
    }
    CTrendChart chart(ring);
    chart.resize(760, 520);
    for (const int span : {600, 3600, 8 * 3600}) {
        chart.setSpanSeconds(span);
        const QImage image = chart.grab().toImage();
        int evaporator = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 70; x < image.width() - 20; ++x) {
                evaporator += image.pixelColor(x, y) == QColor(200, 30, 30) ? 1 : 0;
            }
        }
        EXPECT_GT(evaporator, 200) << span;
    }
}

TEST(UsageWindow, ShowsOneRowPerInstrumentWithHoursAndFaults) {
    InstrumentUsage usage;
    usage.deviceId = 7;
    usage.firstUse = "2026-12-01";
    usage.runSeconds = 5400;
    usage.faults = {{"GAS", 2}, {"OT", 1}};
    CUsageDlg window([usage] { return std::vector<InstrumentUsage>{usage}; },
                     QStringLiteral("KQ-VDR1000 Control"));
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("usage"));
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("7"));
    EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("1.50"));
    EXPECT_EQ(table->item(0, 6)->text(), QStringLiteral("GAS 2, OT 1"));
}

} // namespace
} // namespace kqvdr
