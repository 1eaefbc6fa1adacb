#include "PerformanceReport.h"

#include "ReportRows.h"
#include "SmallFilesystem.h"
#include "TemporaryDirectory.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QString>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace kqvdr {
namespace {

using test::passingRow;

// What a shell command printed, and how it ended.
struct ShellRun {
    std::string output;
    int exitCode = -1;
};
ShellRun run(const std::string& command) {
    ShellRun result;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        result.output += buffer.data();
    }
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string quoted(const std::filesystem::path& path) {
    return "'" + path.string() + "'";
}

// The first capture of the pattern in the text, empty when it does not occur.
QString captured(const std::string& text, const QString& pattern) {
    return QRegularExpression(pattern).match(QString::fromStdString(text)).captured(1);
}

int pageCount(const std::filesystem::path& pdf) {
    const QString pages = captured(run("pdfinfo " + quoted(pdf)).output, "Pages:\\s+(\\d+)");
    return pages.isEmpty() ? -1 : pages.toInt();
}

std::string pageText(const std::filesystem::path& pdf, int page) {
    const std::string n = std::to_string(page);
    return run("pdftotext -layout -f " + n + " -l " + n + " " + quoted(pdf) + " -").output;
}

ReportData dataWith(int methods) {
    ReportData data{"003_001", {}, "Tuesday, December 08, 2026"};
    for (int m = 1; m <= methods; ++m) {
        data.rows.push_back(passingRow(m));
    }
    return data;
}

TEST(PerformanceReportPdf, HasPageOneThenThreeMethodsToAPageEachWithItsFooter) {
    const std::pair<int, int> cases[] = {{0, 1}, {1, 2}, {4, 3}, {10, 5}};
    for (const auto& [methods, pages] : cases) {
        SCOPED_TRACE(std::to_string(methods) + " methods");
        test::TemporaryDirectory dir;
        const auto pdf = dir.file("report.pdf");
        ASSERT_FALSE(writeReportPdf(QString::fromStdString(pdf.string()), dataWith(methods)));
        EXPECT_EQ(pageCount(pdf), pages);
        const std::string last = pageText(pdf, pages);
        EXPECT_NE(last.find("Page " + std::to_string(pages)), std::string::npos) << last;
        if (methods == 10) {
            EXPECT_NE(last.find("Method 10"), std::string::npos);
            EXPECT_EQ(last.find("Method 9"), std::string::npos) << "the fifth page holds one";
        }
    }
}

TEST(PerformanceReportPdf, FirstPageNamesTheInstrumentAndTheVerdicts) {
    test::TemporaryDirectory dir;
    const auto pdf = dir.file("report.pdf");
    ReportData data = dataWith(3);
    data.rows[2].gasPass = false;
    ASSERT_FALSE(writeReportPdf(QString::fromStdString(pdf.string()), data));
    const std::string text = pageText(pdf, 1);
    for (const char* expected :
         {"INSTRUMENT PERFORMANCE REPORT", "Manufacturers Name :", "Brackwater Ltd.",
          "Serial Number :", "003_001", "Instrument Name :", "KQ-VDR 1000",
          "Tuesday, December 08, 2026", "Test Technician :", "Page 1"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
    EXPECT_EQ(captured(text, "Mass Flow Response :\\s+(\\w+)"), "FAILED") << text;
    EXPECT_EQ(captured(text, "Baseline Stability :\\s+(\\w+)"), "PASSED") << text;
    const std::string second = pageText(pdf, 2);
    EXPECT_NE(second.find("Neb SetPt :"), std::string::npos) << second;
    EXPECT_NE(second.find("\u00b1 0.50"), std::string::npos) << second;
}

// Column 1.0 in lands 0.9 in from the printable area's left edge, row 10.45 in exactly that far
// down: measured on the PDF, whose printable area starts 6.35 mm (18 pt) in.
TEST(PerformanceReportPdf, PlacesTextByTheInchesOfThePageMapping) {
    test::TemporaryDirectory dir;
    const auto pdf = dir.file("report.pdf");
    ASSERT_FALSE(writeReportPdf(QString::fromStdString(pdf.string()), dataWith(1)));
    const std::string boxes = run("pdftotext -bbox -f 1 -l 1 " + quoted(pdf) + " -").output;
    const auto wordBox = [&boxes](const QString& word) {
        const auto match = QRegularExpression("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>" +
                                              word + "</word>")
                               .match(QString::fromStdString(boxes));
        return match.hasMatch() ? std::pair<double, double>{match.captured(1).toDouble(),
                                                            match.captured(2).toDouble()}
                                : std::pair<double, double>{-1, -1};
    };
    constexpr double kMargin = 18.0;
    const auto label = wordBox(QStringLiteral("Manufacturers"));
    EXPECT_NEAR(label.first, kMargin + 0.9 * 72, 1.5);
    const auto footer = wordBox(QStringLiteral("Page"));
    EXPECT_NEAR(footer.second, kMargin + 10.45 * 72, 4.0);
}

TEST(ReportCommand, WritesThePdfFromAShellAndFailsOnAnUnwritablePath) {
    test::TemporaryDirectory dir;
    const auto log = dir.file("003_001.log");
    test::writeBytes(log, "");
    const std::string program = KQVDR_PROGRAM_PATH;
    const ShellRun written =
        run(program + " --analyze " + quoted(log) + " --report " + quoted(dir.file("out.pdf")));
    EXPECT_EQ(written.exitCode, 0) << written.output;
    EXPECT_EQ(pageCount(dir.file("out.pdf")), 1);

    const ShellRun refused = run(program + " --analyze " + quoted(log) + " --report " +
                                 quoted(dir.file("missing/out.pdf")));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find("cannot be written"), std::string::npos) << refused.output;
}

// A full disk used to leave a PDF without its trailer in place of the good report, and exit 0.
TEST(ReportCommand, OntoANearlyFullDiskFailsWithTheReasonAndKeepsTheOldReport) {
    test::SmallFilesystem disk(64 * 1024);
    KQVDR_NEED_SMALL_FILESYSTEM(disk);
    test::TemporaryDirectory dir;
    const auto log = dir.file("003_001.log");
    test::writeBytes(log, "");
    const std::string good = "%PDF-1.4 the good old report %%EOF\n";
    test::writeBytes(disk.file("report.pdf"), good);
    disk.fillLeaving(4 * 1024);

    EXPECT_EQ(
        writeReportPdf(QString::fromStdString(disk.file("report.pdf").string()), dataWith(10)),
        QString::fromStdString(disk.file("report.pdf").string() +
                               " cannot be written (No space left on device)"));
    const ShellRun command = run(std::string(KQVDR_PROGRAM_PATH) + " --analyze " + quoted(log) +
                                 " --report " + quoted(disk.file("report.pdf")));
    EXPECT_EQ(command.exitCode, 1);
    EXPECT_NE(command.output.find("No space left on device"), std::string::npos) << command.output;
    EXPECT_EQ(test::readBytes(disk.file("report.pdf")), good);
}

TEST(PerformanceReportPrinter, AJobThatCannotStartSaysSo) {
    test::TemporaryDirectory dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("missing/job.pdf").string()));
    const auto failure = printReport(printer, dataWith(1));
    ASSERT_TRUE(failure.has_value());
    EXPECT_TRUE(failure->startsWith("The report could not be printed")) << failure->toStdString();

    printer.setOutputFileName(QString::fromStdString(dir.file("job.pdf").string()));
    EXPECT_FALSE(printReport(printer, dataWith(1)));
    EXPECT_EQ(pageCount(dir.file("job.pdf")), 2);
}

TEST(PerformanceReportPdf, PageOneSaysHowManyLogLinesCouldNotBeRead) {
    test::TemporaryDirectory dir;
    const auto pdf = dir.file("report.pdf");
    ReportData data = dataWith(2);
    data.unreadableLines = 3;
    data.firstUnreadableLine = 31;
    data.rows[1].unreadableLines = 3;
    ASSERT_FALSE(writeReportPdf(QString::fromStdString(pdf.string()), data));
    const std::string first = pageText(pdf, 1);
    EXPECT_NE(first.find("3 lines of the log could not be read"), std::string::npos) << first;
    EXPECT_NE(first.find("31."), std::string::npos) << first;
    EXPECT_NE(pageText(pdf, 2).find("Method 2 (3 lines unreadable)"), std::string::npos);
}

} // namespace
} // namespace kqvdr
