#include "ReportCommand.h"

#include "PerformanceReport.h"
#include "SystemTestAnalysis.h"
#include "TestSerial.h"
#include "Utf8Path.h"

#include <QDate>

namespace kqvdr {

int runReportCommand(const std::filesystem::path& log, bool fineFlow,
                     const std::filesystem::path& pdf, std::ostream& errors) {
    LogAnalysis analysis;
    if (const auto error = analyseLogFile(log, fineFlow, analysis)) {
        errors << "kqvdr1000-control: cannot read the system test log " << utf8FromPath(log) << " ("
               << error.message() << ")\n";
        return 1;
    }
    const QDate today = QDate::currentDate();
    ReportData data{storedSerial(serialOfLogName(utf8FromPath(log.filename()))),
                    std::move(analysis.rows),
                    reportDateText(today.year(), today.month(), today.day()),
                    analysis.unreadableLines, analysis.firstUnreadableLine};
    if (const auto failure = writeReportPdf(QString::fromStdU16String(pdf.u16string()), data)) {
        errors << "kqvdr1000-control: the report " << failure->toStdString() << "\n";
        return 1;
    }
    return 0;
}

} // namespace kqvdr
