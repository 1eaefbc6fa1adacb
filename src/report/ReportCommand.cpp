#include "ReportCommand.h"

#include "PerformanceReport.h"
#include "SystemTestAnalysis.h"
#include "TestSerial.h"

#include <QDate>

namespace kqvdr {

int runReportCommand(const std::filesystem::path& log, bool fineFlow,
                     const std::filesystem::path& pdf, std::ostream& errors) {
    auto rows = analyseTestLogFile(log, fineFlow);
    if (!rows) {
        errors << "kqvdr1000-control: cannot read the system test log " << log.string() << "\n";
        return 1;
    }
    const QDate today = QDate::currentDate();
    ReportData data{storedSerial(serialOfLogName(log.filename().string())), std::move(*rows),
                    reportDateText(today.year(), today.month(), today.day())};
    if (const auto failure = writeReportPdf(QString::fromStdString(pdf.string()), data)) {
        errors << "kqvdr1000-control: the report " << failure->toStdString() << "\n";
        return 1;
    }
    return 0;
}

} // namespace kqvdr
