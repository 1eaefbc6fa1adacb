#include "RemoteTestHistory.h"

#include "SystemTestAnalysis.h"
#include "SystemTestControl.h"
#include "Utf8Path.h"

#include <algorithm>

namespace kqvdr {

remote::SystemTestStatus& RemoteTestHistory::record(int run) {
    const auto found =
        std::find_if(runs_.begin(), runs_.end(),
                     [run](const remote::SystemTestStatus& s) { return s.run == run; });
    if (found != runs_.end()) {
        return *found;
    }
    runs_.push_back({});
    runs_.back().run = run;
    if (runs_.size() > kKeptRuns) {
        runs_.pop_front();
    }
    return runs_.back();
}

void RemoteTestHistory::follow(const SystemTestControl& control, bool running, int progressPercent,
                               int remainingSeconds) {
    const SystemTestControl::EndedTest& ended = control.lastEnded();
    if (ended.run > 0) {
        remote::SystemTestStatus& test = record(ended.run);
        if (!test.ended) {
            test.running = false;
            test.ended = true;
            test.remainingSeconds = -1;
            test.completed = ended.certified;
            test.logPath = utf8FromPath(ended.log);
            if (ended.certified) {
                test.progressPercent = 100;
                LogAnalysis analysis;
                if (const std::error_code error =
                        analyseLogFile(ended.log, fineFlowLog(ended.log), analysis)) {
                    test.logFailure = error.message();
                } else {
                    test.verdicts = overallVerdicts(analysis.rows);
                }
            }
        }
    }
    if (control.testsStarted() > ended.run) {
        remote::SystemTestStatus& test = record(control.testsStarted());
        test.running = running;
        test.progressPercent = progressPercent;
        test.remainingSeconds = running ? remainingSeconds : -1;
        test.logPath = utf8FromPath(control.testLogPath());
    }
}

} // namespace kqvdr
