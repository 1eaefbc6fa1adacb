#include "SystemTestService.h"

#include "ClientKey.h"
#include "CommandQueue.h"
#include "FeatureIds.h"
#include "FileReplace.h"
#include "MetadataGate.h"
#include "SerialCheck.h"
#include "SilaStatus.h"
#include "Subscription.h"
#include "SystemTestAnalysis.h"
#include "TestLogName.h"
#include "TestVerdicts.h"
#include "Uuid.h"

namespace kqvdr::remote {
namespace {

namespace sila = sila2::org::silastandard;

using RunView = SystemTestService::RunView;

RunView boardViewOf(const LiveValues& values, int run) {
    for (const SystemTestStatus& test : values.systemTests) {
        if (test.run == run) {
            return {true, false, test};
        }
    }
    const bool forgotten = !values.systemTests.empty() && run < values.systemTests.front().run;
    return {false, forgotten, {}};
}

// A run succeeded only when it completed and its log could be judged.
bool succeeded(const SystemTestStatus& status) {
    return status.completed && status.logFailure.empty();
}

template <typename Response> void setVerdicts(Response& response, const TestVerdicts& verdicts) {
    response.mutable_temperatureresponse()->set_value(
        verdictWord(verdicts.of(SystemTest::TemperatureResponse)));
    response.mutable_temperaturestability()->set_value(
        verdictWord(verdicts.of(SystemTest::TemperatureStability)));
    response.mutable_baselinestability()->set_value(
        verdictWord(verdicts.of(SystemTest::BaselineStability)));
    response.mutable_gasflowresponse()->set_value(verdictWord(verdicts.of(SystemTest::MassFlow)));
}

SilaFailure logNotReadable(const std::string& path, const std::string& why) {
    return definedError(errorId(kSystemTestFeature, "LogNotReadable"),
                        "The log \"" + path + "\" cannot be read (" + why + ").");
}

// One answer for every name that is not a test log of the data folder, whether or not such a
// file exists, so that the answers tell nothing of other files.
SilaFailure notATestLog() {
    return validationError(parameterId(kSystemTestFeature, "AnalyzeLog", "Path"),
                           "Path must name a system test log in the program's data folder, such "
                           "as \"003_001.log\" or \"M03_001.log\".");
}

// CancelController's answer for an execution that is not running (any more).
SilaFailure notRunning(const char* why) {
    return definedError(errorId(kCancelControllerFeature, "InvalidCommandExecutionUUID"), why);
}

std::optional<SilaFailure> analyse(const std::filesystem::path& dataDir,
                                   const st::AnalyzeLog_Parameters& request,
                                   LogAnalysis& analysis) {
    if (!request.has_path()) {
        return validationError(parameterId(kSystemTestFeature, "AnalyzeLog", "Path"),
                               "Path is missing: every parameter must be given.");
    }
    const std::string& name = request.path().value();
    if (!isTestLogName(name)) {
        return notATestLog();
    }
    const std::filesystem::path path = dataDir / name;
    std::error_code error;
    // A link is not a log the program wrote, wherever it leads.
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(path, error))) {
        return notATestLog();
    }
    std::string text;
    if (const std::error_code readError =
            readWholeFile(path, text, SystemTestService::kLargestLog)) {
        if (readError == std::errc::no_such_file_or_directory) {
            return notATestLog();
        }
        return logNotReadable(name, readError == std::errc::file_too_large
                                        ? "larger than a week's log, " +
                                              std::to_string(SystemTestService::kLargestLog) +
                                              " bytes"
                                        : readError.message());
    }
    analysis = analyseLog(text, fineFlowLog(path));
    return std::nullopt;
}

} // namespace

SystemTestService::SystemTestService(const MetadataGate& gate, CommandQueue& queue,
                                     const SnapshotBoard& board, StreamLimit& streams,
                                     std::filesystem::path dataDir)
    : gate_(gate), queue_(queue), board_(board), streams_(streams), dataDir_(std::move(dataDir)) {}

void SystemTestService::remember(const LiveValues& values) {
    std::lock_guard lock(mutex_);
    for (const SystemTestStatus& test : values.systemTests) {
        if (!test.ended || endings_.count(test.run) != 0) {
            continue;
        }
        for (const auto& execution : executions_) {
            if (execution.second == test.run) {
                endings_.emplace(test.run, test);
                break;
            }
        }
    }
}

RunView SystemTestService::viewOf(const LiveValues& values, int run) const {
    {
        std::lock_guard lock(mutex_);
        if (const auto ending = endings_.find(run); ending != endings_.end()) {
            return {true, false, ending->second};
        }
    }
    return boardViewOf(values, run);
}

std::optional<int> SystemTestService::runOf(const std::string& text) const {
    const std::optional<std::string> uuid = canonicalUuid(text);
    if (!uuid) {
        return std::nullopt;
    }
    std::lock_guard lock(mutex_);
    const auto found = executions_.find(*uuid);
    if (found == executions_.end()) {
        return std::nullopt;
    }
    return found->second;
}

grpc::Status SystemTestService::RunSystemTest(grpc::ServerContext* context,
                                              const st::RunSystemTest_Parameters* request,
                                              sila::CommandConfirmation* response) {
    MetadataGate::Admission admission;
    if (Outcome refused =
            gate_.admit(*context, commandId(kSystemTestFeature, "RunSystemTest"), admission)) {
        return silaStatus(*refused);
    }
    if (!request->has_serialnumber()) {
        return silaStatus(
            missingParameter(parameterId(kSystemTestFeature, "RunSystemTest", "SerialNumber")));
    }
    const std::string serial = request->serialnumber().value();
    if (!isTestSerialNumber(serial)) {
        return silaStatus(validationError(
            parameterId(kSystemTestFeature, "RunSystemTest", "SerialNumber"),
            "The serial number \"" + serial + "\" is not of the form 003-### or M03-###."));
    }
    const std::optional<std::string> uuid = newRandomUuid();
    if (!uuid) {
        return silaStatus(
            undefinedError("No execution UUID can be made: the system's random source failed."));
    }
    const std::string peer = actingUser(admission);
    int run = 0;
    const Outcome outcome = queue_.call([serial, peer, &run](RemoteInstrument& instrument) {
        Outcome started = instrument.startSystemTest(serial, peer);
        run = instrument.systemTestRun();
        return started;
    });
    if (outcome) {
        return silaStatus(*outcome);
    }
    {
        std::lock_guard lock(mutex_);
        executions_[*uuid] = run;
    }
    response->mutable_commandexecutionuuid()->set_value(*uuid);
    return grpc::Status::OK;
}

grpc::Status SystemTestService::knownRun(const std::optional<int>& run) const {
    if (!run) {
        return frameworkStatus(FrameworkErrorType::InvalidExecutionUuid,
                               "No system test was started under this execution UUID.");
    }
    return grpc::Status::OK;
}

grpc::Status
SystemTestService::RunSystemTest_Info(grpc::ServerContext* context,
                                      const sila::CommandExecutionUUID* request,
                                      grpc::ServerWriter<sila::ExecutionInfo>* writer) {
    const auto run = runOf(request->value());
    if (const grpc::Status unknown = knownRun(run); !unknown.ok()) {
        return unknown;
    }
    bool ended = false;
    const grpc::Status status = streamChanges<RunView>(
        *context, board_, streams_, clientKey(*context),
        [&](const LiveValues& v) { return viewOf(v, *run); },
        [&](const RunView& view) {
            if (ended) {
                return false;
            }
            sila::ExecutionInfo info;
            using Status = sila::ExecutionInfo;
            if (view.forgotten) {
                // Never left without a final status.
                info.set_commandstatus(Status::finishedWithError);
                ended = true;
            } else if (!view.started) {
                info.set_commandstatus(Status::waiting);
            } else if (!view.status.ended) {
                info.set_commandstatus(Status::running);
                if (view.status.remainingSeconds >= 0) {
                    info.mutable_estimatedremainingtime()->set_seconds(
                        view.status.remainingSeconds);
                }
            } else {
                info.set_commandstatus(succeeded(view.status) ? Status::finishedSuccessfully
                                                              : Status::finishedWithError);
                ended = true;
            }
            info.mutable_progressinfo()->set_value(view.status.progressPercent / 100.0);
            return writer->Write(info) && !ended;
        });
    // A stream the server ends before its run did (the server stops) must not look complete.
    if (status.ok() && !ended && !context->IsCancelled()) {
        return silaStatus(undefinedError("The server stopped before the system test ended."));
    }
    return status;
}

grpc::Status SystemTestService::RunSystemTest_Intermediate(
    grpc::ServerContext* context, const sila::CommandExecutionUUID* request,
    grpc::ServerWriter<st::RunSystemTest_IntermediateResponses>* writer) {
    const auto run = runOf(request->value());
    if (const grpc::Status unknown = knownRun(run); !unknown.ok()) {
        return unknown;
    }
    return streamChanges<RunView>(
        *context, board_, streams_, clientKey(*context),
        [&](const LiveValues& v) { return viewOf(v, *run); },
        [&](const RunView& view) {
            if (view.status.ended || view.forgotten) {
                return false;
            }
            st::RunSystemTest_IntermediateResponses progress;
            progress.mutable_progress()->set_value(view.status.progressPercent);
            return writer->Write(progress);
        });
}

grpc::Status SystemTestService::RunSystemTest_Result(grpc::ServerContext*,
                                                     const sila::CommandExecutionUUID* request,
                                                     st::RunSystemTest_Responses* response) {
    const auto run = runOf(request->value());
    if (const grpc::Status unknown = knownRun(run); !unknown.ok()) {
        return unknown;
    }
    const RunView view = viewOf(board_.current().values, *run);
    if (view.forgotten) {
        return silaStatus(undefinedError("The end of this system test was not kept."));
    }
    if (!view.started || !view.status.ended) {
        return frameworkStatus(FrameworkErrorType::ExecutionNotFinished,
                               "The system test is still running.");
    }
    if (!view.status.completed) {
        return silaStatus(definedError(
            errorId(kSystemTestFeature, "SystemTestStopped"),
            wasCancelled(*run)
                ? "The system test was cancelled by a client (CancelController) before its "
                  "timetable ended."
                : "The system test was stopped before its timetable ended."));
    }
    if (!view.status.logFailure.empty()) {
        return silaStatus(logNotReadable(view.status.logPath, view.status.logFailure));
    }
    setVerdicts(*response, view.status.verdicts);
    response->mutable_logpath()->set_value(view.status.logPath);
    return grpc::Status::OK;
}

Outcome SystemTestService::cancel(const std::string& uuid, const std::string& peer) {
    const auto run = runOf(uuid);
    if (!run) {
        return notRunning("No command was started under this execution UUID.");
    }
    const RunView view = viewOf(board_.current().values, *run);
    if (view.forgotten || view.status.ended) {
        return notRunning("The system test of this execution has already ended.");
    }
    bool stopping = false;
    if (Outcome failed = queue_.call([&](RemoteInstrument& instrument) {
            stopping = stopRun(instrument, *run, peer);
            return Outcome{};
        })) {
        return failed;
    }
    if (!stopping) {
        return notRunning("The system test of this execution has already ended.");
    }
    return std::nullopt;
}

Outcome SystemTestService::cancelAll(const std::string& peer) {
    return queue_.call([this, peer](RemoteInstrument& instrument) {
        const int run = instrument.systemTestRun();
        bool startedByClient = false;
        {
            std::lock_guard lock(mutex_);
            for (const auto& execution : executions_) {
                startedByClient = startedByClient || execution.second == run;
            }
        }
        // A test started at the panel is no command of this server's.
        if (startedByClient) {
            stopRun(instrument, run, peer);
        }
        return Outcome{};
    });
}

bool SystemTestService::stopRun(RemoteInstrument& instrument, int run, const std::string& peer) {
    if (!instrument.stopSystemTest(run, peer)) {
        return false;
    }
    // Kept before the stop is carried out, so that no caller of _Result sees the run end
    // without learning it was cancelled.
    std::lock_guard lock(mutex_);
    cancelled_.insert(run);
    return true;
}

bool SystemTestService::wasCancelled(int run) const {
    std::lock_guard lock(mutex_);
    return cancelled_.count(run) != 0;
}

grpc::Status SystemTestService::AnalyzeLog(grpc::ServerContext* context,
                                           const st::AnalyzeLog_Parameters* request,
                                           st::AnalyzeLog_Responses* response) {
    MetadataGate::Admission admission;
    if (Outcome refused =
            gate_.admit(*context, commandId(kSystemTestFeature, "AnalyzeLog"), admission)) {
        return silaStatus(*refused);
    }
    const std::unique_lock analysing(analysing_, std::try_to_lock);
    if (!analysing.owns_lock()) {
        return silaStatus(undefinedError(
            "Another log is being analysed: try again when that analysis has finished."));
    }
    LogAnalysis analysis;
    if (auto failure = analyse(dataDir_, *request, analysis)) {
        return silaStatus(*failure);
    }
    setVerdicts(*response, overallVerdicts(analysis.rows));
    for (const TestResult& result : analysis.rows) {
        auto* row = response->add_rows();
        row->mutable_methodnumber()->set_value(result.method);
        row->mutable_responsetime()->set_value(result.respElapsed);
        row->mutable_nebulisermeanoffset()->set_value(result.nebMeanOffset);
        row->mutable_nebuliserrsd()->set_value(result.nebRsd);
        row->mutable_evaporatormeanoffset()->set_value(result.evapMeanOffset);
        row->mutable_evaporatorrsd()->set_value(result.evapRsd);
        row->mutable_detectormaximum()->set_value(result.photoMax);
        row->mutable_gasresponse()->set_value(result.gasResponse);
    }
    return grpc::Status::OK;
}

} // namespace kqvdr::remote
