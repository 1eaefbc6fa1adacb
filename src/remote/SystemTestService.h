#pragma once

#include "LiveValues.h"
#include "SilaFailure.h"
#include "SystemTest.grpc.pb.h"

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

namespace kqvdr::remote {

class CommandQueue;
class RemoteInstrument;
class MetadataGate;
class SnapshotBoard;
class StreamLimit;
struct LiveValues;

namespace st = sila2::com::brackwater::detector::systemtest::v1;

// The system test as an observable command, and the analysis of a test log.
class SystemTestService final : public st::SystemTest::Service {
public:
    // A week of half-minute lines is about 1.6 MB; a larger log is not analysed.
    static constexpr std::size_t kLargestLog = 4 * 1024 * 1024;

    // `dataDir` holds the logs AnalyzeLog may read.
    SystemTestService(const MetadataGate& gate, CommandQueue& queue, const SnapshotBoard& board,
                      StreamLimit& streams, std::filesystem::path dataDir);

    // After every publication: keeps how each run a client started ended, so that its
    // execution stays valid while the server runs, however many tests follow.
    void remember(const LiveValues& values);

    grpc::Status RunSystemTest(grpc::ServerContext* context,
                               const st::RunSystemTest_Parameters* request,
                               sila2::org::silastandard::CommandConfirmation* response) override;
    grpc::Status RunSystemTest_Info(
        grpc::ServerContext* context, const sila2::org::silastandard::CommandExecutionUUID* request,
        grpc::ServerWriter<sila2::org::silastandard::ExecutionInfo>* writer) override;
    grpc::Status RunSystemTest_Intermediate(
        grpc::ServerContext* context, const sila2::org::silastandard::CommandExecutionUUID* request,
        grpc::ServerWriter<st::RunSystemTest_IntermediateResponses>* writer) override;
    grpc::Status RunSystemTest_Result(grpc::ServerContext* context,
                                      const sila2::org::silastandard::CommandExecutionUUID* request,
                                      st::RunSystemTest_Responses* response) override;
    grpc::Status AnalyzeLog(grpc::ServerContext* context, const st::AnalyzeLog_Parameters* request,
                            st::AnalyzeLog_Responses* response) override;

    // CancelController's work: the run started under `uuid` (any case) is stopped as "Stop System
    // Test" stops it, and its execution then ends with an error that says it was cancelled.
    Outcome cancel(const std::string& uuid, const std::string& peer);
    // The running test, when a client started it; nothing running is no failure.
    Outcome cancelAll(const std::string& peer);

    // What an execution's caller sees of its run.
    struct RunView {
        bool started = false;   // the board has seen this run
        bool forgotten = false; // gone from the board without its end being kept
        SystemTestStatus status;
        bool operator==(const RunView&) const = default;
    };

private:
    // The test run an execution started, as the program counts them; the UUID in either case.
    std::optional<int> runOf(const std::string& uuid) const;
    // OK for a started run; the framework's error for an unknown UUID.
    grpc::Status knownRun(const std::optional<int>& run) const;
    RunView viewOf(const LiveValues& values, int run) const;
    // On the program's thread: asks the instrument to stop `run`; false when it is not running.
    bool stopRun(RemoteInstrument& instrument, int run, const std::string& peer);
    bool wasCancelled(int run) const;

    const MetadataGate& gate_;
    CommandQueue& queue_;
    const SnapshotBoard& board_;
    StreamLimit& streams_;
    std::filesystem::path dataDir_;
    // One analysis at a time: each reads and holds a whole log.
    std::mutex analysing_;
    mutable std::mutex mutex_;
    std::map<std::string, int> executions_;   // by UUID in lower case
    std::map<int, SystemTestStatus> endings_; // by run: how the clients' runs ended
    std::set<int> cancelled_;                 // runs a client cancelled
};

} // namespace kqvdr::remote
