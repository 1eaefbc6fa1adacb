#pragma once

#include "TestResult.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;

namespace kqvdr {

// What the INSTRUMENT PERFORMANCE REPORT prints.
struct ReportData {
    std::string serial;           // as the results dialog holds it, "003_001"
    std::vector<TestResult> rows; // in method order
    std::string date;             // the report date, already in words
    std::size_t unreadableLines = 0;
    std::size_t firstUnreadableLine = 0; // 1-based; 0 when every line of the log was read
};

// "Tuesday, December 08, 2026": the report's date in the user's language.
std::string reportDateText(int year, int month, int day);

// Every page on the device, page 1 first; the printer and the PDF take the same pages. False
// when the job cannot start, a page cannot be begun or the job cannot be finished.
bool drawReport(QPagedPaintDevice& device, int resolution, const ReportData& data);

// The report on a printer; the reason when the job did not start or did not finish.
std::optional<QString> printReport(QPrinter& printer, const ReportData& data);

// The report as a PDF file: drawn whole and checked first, then written through a temporary
// file renamed over `path`, so that a full disk keeps the old file. The reason, with the
// system's, when it cannot be written.
std::optional<QString> writeReportPdf(const QString& path, const ReportData& data);

// The system's print dialog with the page range fixed to the report's pages and no selection or
// page entry; Cancel prints nothing. The reason when the job failed.
std::optional<QString> printReportWithDialog(QWidget* parent, const ReportData& data);

} // namespace kqvdr
