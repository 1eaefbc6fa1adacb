#include "PerformanceReport.h"

#include "CPage.h"
#include "FileReplace.h"
#include "PrintFlags.h"
#include "ReportContent.h"
#include "ReportMaker.h"
#include "SystemTestAnalysis.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <ctime>
#include <filesystem>

namespace kqvdr {
namespace {

constexpr double kPoints = 12;
constexpr double kTitlePoints = 16;
constexpr double kLabelColumn = 1.0;
constexpr double kValueColumn = 3.5;
constexpr double kBesideLabel = -0.18;
constexpr double kFooterRow = 10.45;
constexpr int kPdfResolution = 1200; // dots per inch, as a high-resolution printer

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

// A label in bold, then its value beside it; returns the row below the value.
double labelled(CPage& page, double row, const char* label, const QString& value,
                int valueFlags = PrintLeft) {
    row =
        page.PrintAt(row, kLabelColumn, PrintBold | PrintLeft, kPoints, QString::fromLatin1(label));
    return page.PrintAt(row + kBesideLabel, kValueColumn, valueFlags, kPoints, value);
}

void printFirstPage(CPage& page, const ReportData& data) {
    double row = page.PrintAt(0.5, kLabelColumn, PrintBold | PrintCentred, kTitlePoints,
                              QString::fromLatin1(kReportTitle));
    row = labelled(page, row + 0.6, "Manufacturers Name :", QString::fromLatin1(kMakerName));
    row = page.PrintAt(row + 0.15, kLabelColumn, PrintBold | PrintLeft, kPoints,
                       QStringLiteral("Manufacturers Address :"));
    row += kBesideLabel;
    for (const char* line : kMakerAddress) {
        row = page.PrintAt(row, kValueColumn, PrintLeft, kPoints, QString::fromLatin1(line));
    }
    row = labelled(page, row + 0.15, "Instrument Name :", QStringLiteral("KQ-VDR 1000"));
    row = labelled(page, row + 0.15, "Serial Number :", q(data.serial));
    row = page.PrintAt(row + 0.6, kLabelColumn, PrintItalic | PrintLeft, kPoints,
                       QStringLiteral("The following functional characteristics of the KQ-VDR "
                                      "1000 instrument have all been individually tested for "
                                      "conformance with our internal specifications."));
    double gap = 0.6;
    for (const ReportTest& test : reportTests(data.rows)) {
        row = labelled(page, row + gap, test.label.c_str(), q(test.verdict));
        row = page.PrintAt(row + 0.15, kLabelColumn, PrintLeft, kPoints, q(test.sentence));
        gap = 0.3;
    }
    row = labelled(page, row + 0.6, "Report Date :", q(data.date));
    row = labelled(page, row + 0.3, "Test Technician :", QString(51, QLatin1Char(' ')),
                   PrintUnderline | PrintLeft);
    // Verdicts drawn from a log with holes say so where they are given.
    const std::string unread =
        unreadableLinesText({{}, data.unreadableLines, data.firstUnreadableLine});
    if (!unread.empty()) {
        page.PrintAt(row + 0.3, kLabelColumn, PrintItalic | PrintLeft, kPoints, q(unread));
    }
}

double printMethodBlock(CPage& page, double y, const TestResult& row) {
    const MethodBlockTexts texts = methodBlockTexts(row);
    const CPrintRegion region = page.CreateRegion(y + 0.45, 1.0, y + 1.2, 7.6);
    const double belowTitle =
        page.SetTitle(region, q(texts.title), kPoints, PrintBold | PrintBoxed | PrintCentred);
    // The setpoints go 0.15 in down, or below the title where 12-point text needs more room.
    const double setpointTop = std::max(0.15, belowTitle - region.top + 0.02);
    const struct {
        const char* label;
        const std::string& value;
        double left;
        double right;
    } setpoints[] = {{"Neb SetPt :", texts.nebuliser, 0.5, 1.4},
                     {"Evap SetPt :", texts.evaporator, 2.5, 4.0},
                     {"Gas SetPt :", texts.gas, 4.5, 6.1}};
    // Label and value share one box, the value to the right; where 12-point text is wider than
    // the box, the value moves along rather than print over its label.
    constexpr int kOneLine = PrintSingleLine | PrintNoClip;
    for (const auto& setpoint : setpoints) {
        const QString label = QString::fromLatin1(setpoint.label);
        const QString value = q(setpoint.value);
        page.PrintInRegion(region, setpointTop, setpoint.left, setpointTop + 0.3, setpoint.right,
                           PrintBold | PrintLeft | kOneLine, kPoints, label);
        const double labelEnd = setpoint.left + page.textWidth(PrintBold, kPoints, label + ' ');
        const double valueWidth = page.textWidth(0, kPoints, value);
        const double valueLeft = std::max(labelEnd, setpoint.right - valueWidth);
        page.PrintInRegion(region, setpointTop, valueLeft, setpointTop + 0.3,
                           valueLeft + valueWidth + 0.05, PrintLeft | kOneLine, kPoints, value);
    }

    CPrintTable table;
    table.top = y + 1.2;
    table.left = 1.0;
    table.right = 7.6;
    table.rows = static_cast<int>(texts.cells.size());
    table.points = kPoints;
    for (std::size_t column = 0; column < kMethodTableColumns.size(); ++column) {
        table.titles.push_back(QString::fromLatin1(kMethodTableColumns[column]));
        table.widths.push_back(kMethodTableWidths[column]);
    }
    const double below = page.DrawTable(table);
    for (std::size_t r = 0; r < texts.cells.size(); ++r) {
        for (std::size_t c = 0; c < 4; ++c) {
            page.PrintCell(table, static_cast<int>(r), static_cast<int>(c), kPoints,
                           c == 3 ? PrintCentred : PrintLeft, q(texts.cells[r][c]));
        }
    }
    return below;
}

void printMethodPage(CPage& page, int number, const ReportData& data) {
    double y = page.PrintAt(0.5, kLabelColumn, PrintBold | PrintCentred, kTitlePoints,
                            QString::fromLatin1(kReportTitle)) +
               0.12;
    const auto [first, last] = rowsOnPage(number, data.rows.size());
    for (std::size_t i = first; i < last; ++i) {
        y = printMethodBlock(page, y, data.rows[i]);
    }
}

} // namespace

std::string reportDateText(int year, int month, int day) {
    std::tm date{};
    date.tm_year = year - 1900;
    date.tm_mon = month - 1;
    date.tm_mday = day;
    date.tm_hour = 12;
    std::mktime(&date); // fills in the weekday
    char text[128];
    return std::strftime(text, sizeof text, "%A, %B %d, %Y", &date) > 0 ? text : "";
}

bool drawReport(QPagedPaintDevice& device, int resolution, const ReportData& data) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    const int pages = reportPageCount(data.rows.size());
    for (int number = 1; number <= pages; ++number) {
        if (number > 1 && !device.newPage()) {
            painter.end();
            return false;
        }
        const QRectF area = device.pageLayout().paintRectPixels(resolution);
        CPage page(painter, PageGeometry(area.width(), area.height(), device.logicalDpiX(),
                                         device.logicalDpiY()));
        if (number == 1) {
            printFirstPage(page, data);
        } else {
            printMethodPage(page, number, data);
        }
        page.PrintAt(kFooterRow, kLabelColumn, PrintBold | PrintCentred, kPoints,
                     QStringLiteral("Page %1").arg(number));
    }
    return painter.end();
}

std::optional<QString> printReport(QPrinter& printer, const ReportData& data) {
    if (!drawReport(printer, printer.resolution(), data)) {
        return QStringLiteral("The report could not be printed on %1: the printer did not "
                              "take the job")
            .arg(printer.printerName().isEmpty() ? QStringLiteral("the printer")
                                                 : printer.printerName());
    }
    return std::nullopt;
}

std::optional<QString> writeReportPdf(const QString& path, const ReportData& data) {
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(6.35, 6.35, 6.35, 6.35),
                                         QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("report"));
        writer.setCreator(QStringLiteral("KQ-VDR 1000 Control"));
        if (!drawReport(writer, writer.resolution(), data)) {
            return QStringLiteral("%1 cannot be written (the report could not be drawn)").arg(path);
        }
    }
    // Only a document that reached its trailer is a whole one.
    if (!bytes.trimmed().endsWith("%%EOF")) {
        return QStringLiteral("%1 cannot be written (the PDF is incomplete)").arg(path);
    }
    const auto target = std::filesystem::path(path.toStdU16String());
    if (const auto error = replaceFileContent(
            target, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
        return QStringLiteral("%1 cannot be written (%2)")
            .arg(path, QString::fromStdString(error.message()));
    }
    return std::nullopt;
}

std::optional<QString> printReportWithDialog(QWidget* parent, const ReportData& data) {
    const int pages = reportPageCount(data.rows.size());
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("report"));
    printer.setFromTo(pages, pages);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(pages, pages);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    printer.setPrintRange(QPrinter::AllPages);
    return printReport(printer, data);
}

} // namespace kqvdr
