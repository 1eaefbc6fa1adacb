#pragma once

#include "TestResult.h"

#include <QString>
#include <optional>
#include <string>
#include <vector>

class QPainter;
class QPrinter;
class QWidget;

namespace kqvdr {

// What the INSTRUMENT PERFORMANCE REPORT prints.
struct ReportData {
    std::string serial;           // as the results dialog holds it, "003_001"
    std::vector<TestResult> rows; // in method order
    std::string date;             // the report date, already in words
};

// "Tuesday, December 08, 2026": the report's date in the user's language.
std::string reportDateText(int year, int month, int day);

// Every page on the printer, page 1 first; the printer and the PDF take the same pages.
void printReport(QPrinter& printer, const ReportData& data);

// The report as a PDF file, written beside `path` and renamed over it when complete; the reason
// when it cannot be written.
std::optional<QString> writeReportPdf(const QString& path, const ReportData& data);

// The system's print dialog with the page range fixed to the report's pages and no selection or
// page entry; Cancel prints nothing. True when it printed.
bool printReportWithDialog(QWidget* parent, const ReportData& data);

} // namespace kqvdr
