#include "AnalyzeCommand.h"

#include "AnalysisCsv.h"
#include "AnalysisOutput.h"
#include "FileReplace.h"
#include "SystemTestAnalysis.h"
#include "TestSerial.h"

namespace kqvdr {

int runAnalyzeCommand(const AnalyzeRequest& request, std::ostream& out, std::ostream& errors) {
    const bool fine = request.fineFlow.value_or(fineFlowLog(request.log));
    auto rows = analyseTestLogFile(request.log, fine);
    if (!rows) {
        errors << "kqvdr1000-control: cannot read the system test log " << request.log.string()
               << "\n";
        return 1;
    }
    AnalysisOutput analysis;
    analysis.serial = shownSerial(serialOfLogName(request.log.filename().string()));
    analysis.fineFlow = fine;
    analysis.rows = std::move(*rows);
    out << (request.json ? analysisJson(analysis) : analysisTable(analysis));
    out.flush();
    if (request.csv) {
        if (const auto error = replaceFileContent(*request.csv, analysisCsv(analysis.rows))) {
            errors << "kqvdr1000-control: cannot write " << request.csv->string() << " ("
                   << error.message() << ")\n";
            return 1;
        }
    }
    return out ? 0 : 1;
}

} // namespace kqvdr
