#include "AnalyzeCommand.h"

#include "AnalysisCsv.h"
#include "AnalysisOutput.h"
#include "FileIdentity.h"
#include "FileReplace.h"
#include "SystemTestAnalysis.h"
#include "TestSerial.h"
#include "Utf8Path.h"

namespace kqvdr {

std::optional<std::string> outputClash(const AnalyzeRequest& request) {
    const auto clash = [&](const std::optional<std::filesystem::path>& output,
                           const char* option) -> std::optional<std::string> {
        if (output && sameFile(*output, request.log)) {
            return std::string(option) + " " + output->string() +
                   " is the log being analysed; it would be overwritten";
        }
        return std::nullopt;
    };
    if (auto message = clash(request.csv, "--csv")) {
        return message;
    }
    if (auto message = clash(request.report, "--report")) {
        return message;
    }
    if (request.csv && request.report && sameFile(*request.csv, *request.report)) {
        return "--csv and --report name the same file " + request.csv->string();
    }
    return std::nullopt;
}

int runAnalyzeCommand(const AnalyzeRequest& request, std::ostream& out, std::ostream& errors) {
    if (const auto clash = outputClash(request)) {
        errors << "kqvdr1000-control: " << *clash << "\n";
        return 2;
    }
    const bool fine = request.fineFlow.value_or(fineFlowLog(request.log));
    LogAnalysis log;
    if (const auto error = analyseLogFile(request.log, fine, log)) {
        errors << "kqvdr1000-control: cannot read the system test log " << utf8FromPath(request.log)
               << " (" << error.message() << ")\n";
        return 1;
    }
    if (log.unreadableLines > 0) {
        errors << "kqvdr1000-control: " << utf8FromPath(request.log) << ": "
               << unreadableLinesText(log) << "\n";
    }
    AnalysisOutput analysis;
    analysis.serial = shownSerial(serialOfLogName(utf8FromPath(request.log.filename())));
    analysis.fineFlow = fine;
    analysis.rows = std::move(log.rows);
    analysis.unreadableLines = log.unreadableLines;
    analysis.firstUnreadableLine = log.firstUnreadableLine;
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
