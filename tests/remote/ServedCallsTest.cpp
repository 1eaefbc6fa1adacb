#include "Base64.h"
#include "CancelController.grpc.pb.h"
#include "DetectorController.grpc.pb.h"
#include "MethodStore.grpc.pb.h"
#include "SiLAFramework.pb.h"
#include "SilaServer.h"
#include "SystemTest.grpc.pb.h"

#include <atomic>
#include <grpcpp/grpcpp.h>
#include <gtest/gtest.h>
#include <thread>

namespace kqvdr::remote {
namespace {

using namespace std::chrono_literals;
namespace sila = sila2::org::silastandard;
namespace st = sila2::com::brackwater::detector::systemtest::v1;
namespace ms = sila2::com::brackwater::detector::methodstore::v1;
namespace dc = sila2::com::brackwater::detector::detectorcontroller::v1;
namespace cc = sila2::org::silastandard::core::commands::cancelcontroller::v1;

// An instrument whose system test always starts, as run 1, and whose methods are what the test
// says.
class StartingInstrument final : public RemoteInstrument {
public:
    Outcome setMode(int, const std::string&) override { return {}; }
    Outcome selectMethod(int, const std::string&) override { return {}; }
    Outcome autozero(const std::string&) override { return {}; }
    Outcome setTransferLine(bool, const std::string&) override { return {}; }
    Outcome clearFault(const std::string&) override { return {}; }
    bool fineGasResolution() const override { return false; }
    bool methodsKnown() const override { return known; }
    MethodRecord method(int) const override { return record; }
    Outcome storeMethod(int, const MethodRecord&, const std::string&) override { return {}; }
    Outcome sendMethod(int, const std::string&) override { return {}; }
    Outcome startSystemTest(const std::string&, const std::string&) override { return {}; }
    int systemTestRun() const override { return 1; }
    bool stopSystemTest(int run, const std::string&) override { return stops && run == 1; }

    // Set before the server's first call.
    bool stops = false; // run 1 is running and stops when asked
    bool known = false;
    MethodRecord record;
};

// The SiLA error a failed call carries; an empty one when it succeeded.
sila::SiLAError errorOf(const grpc::Status& status) {
    sila::SiLAError error;
    if (!status.ok()) {
        EXPECT_EQ(status.error_code(), grpc::StatusCode::ABORTED);
        error.ParseFromString(base64Decode(status.error_message()).value_or(""));
    }
    return error;
}

// The server on a free local port, its queue drained as the tick would unless the program is
// said to hang.
class ServedSystemTest {
public:
    explicit ServedSystemTest(bool ticking = true, StartingInstrument instrument = {},
                              std::optional<MetadataGate::Declaration> metadata = {})
        : instrument_(std::move(instrument)), server_(SilaServer::Settings{}) {
        if (metadata) {
            server_.metadata().declare(std::move(*metadata));
        }
        std::string error;
        EXPECT_TRUE(server_.start(error)) << error;
        if (ticking) {
            ticking_ = std::thread([this] {
                while (!stopping_) {
                    server_.takeCommands(instrument_);
                    std::this_thread::sleep_for(2ms);
                }
            });
        }
        channel_ = grpc::CreateChannel("127.0.0.1:" + std::to_string(server_.port()),
                                       grpc::InsecureChannelCredentials());
        stub_ = st::SystemTest::NewStub(channel_);
    }
    ~ServedSystemTest() {
        stopping_ = true;
        if (ticking_.joinable()) {
            ticking_.join();
        }
        server_.stop();
    }
    std::unique_ptr<ms::MethodStore::Stub> methods() { return ms::MethodStore::NewStub(channel_); }
    std::unique_ptr<dc::DetectorController::Stub> detector() {
        return dc::DetectorController::NewStub(channel_);
    }
    st::SystemTest::Stub& systemTest() { return *stub_; }
    std::unique_ptr<cc::CancelController::Stub> cancel() {
        return cc::CancelController::NewStub(channel_);
    }
    void publish(std::vector<SystemTestStatus> runs) {
        LiveValues values;
        values.systemTests = std::move(runs);
        server_.publish(values);
    }
    std::string start() {
        grpc::ClientContext context;
        st::RunSystemTest_Parameters parameters;
        parameters.mutable_serialnumber()->set_value("003-042");
        sila::CommandConfirmation confirmation;
        const grpc::Status status = stub_->RunSystemTest(&context, parameters, &confirmation);
        EXPECT_TRUE(status.ok()) << status.error_message();
        EXPECT_FALSE(confirmation.has_lifetimeofexecution());
        return confirmation.commandexecutionuuid().value();
    }
    // Every status the Info stream sends until it ends, or `count` of them.
    std::vector<sila::ExecutionInfo> infos(const std::string& uuid, std::size_t count = 100) {
        grpc::ClientContext context;
        context.set_deadline(std::chrono::system_clock::now() + 5s);
        sila::CommandExecutionUUID id;
        id.set_value(uuid);
        auto reader = stub_->RunSystemTest_Info(&context, id);
        std::vector<sila::ExecutionInfo> seen;
        sila::ExecutionInfo info;
        while (seen.size() < count && reader->Read(&info)) {
            seen.push_back(info);
        }
        if (seen.size() == count) {
            context.TryCancel();
        }
        reader->Finish();
        return seen;
    }
    // The result's SiLA error, or an empty one when it succeeded.
    sila::SiLAError result(const std::string& uuid) {
        grpc::ClientContext context;
        sila::CommandExecutionUUID id;
        id.set_value(uuid);
        st::RunSystemTest_Responses responses;
        const grpc::Status status = stub_->RunSystemTest_Result(&context, id, &responses);
        return errorOf(status);
    }

private:
    StartingInstrument instrument_;
    SilaServer server_;
    std::atomic<bool> stopping_{false};
    std::thread ticking_;
    std::shared_ptr<grpc::Channel> channel_;
    std::unique_ptr<st::SystemTest::Stub> stub_;
};

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

SystemTestStatus ended(int run, bool completed, std::string logFailure) {
    SystemTestStatus status;
    status.run = run;
    status.ended = true;
    status.completed = completed;
    status.progressPercent = completed ? 100 : 40;
    status.logPath = "/data/003_042.log";
    status.logFailure = std::move(logFailure);
    return status;
}

TEST(ServedCalls,
     ASystemTestExecutionEndsWithTheStatusAndResultItsRunEndedWithForAsLongAsTheServerRuns) {
    using Info = sila::ExecutionInfo;
    const std::string errors = "com.brackwater/detector/SystemTest/v1/DefinedExecutionError/";
    const struct {
        const char* what;
        SystemTestStatus end;
        Info::CommandStatus status;
        std::string error; // empty when the result holds the verdicts
    } cases[] = {
        {"completed", ended(1, true, ""), Info::finishedSuccessfully, ""},
        {"completed, log unreadable", ended(1, true, "No such file or directory"),
         Info::finishedWithError, errors + "LogNotReadable"},
        {"stopped", ended(1, false, ""), Info::finishedWithError, errors + "SystemTestStopped"},
    };
    for (const auto& c : cases) {
        ServedSystemTest served;
        SystemTestStatus running;
        running.run = 1;
        running.running = true;
        running.progressPercent = 10;
        running.remainingSeconds = 600;
        served.publish({running});
        const std::string uuid = served.start();

        const auto first = served.infos(upper(uuid), 1);
        ASSERT_EQ(first.size(), 1u) << c.what;
        EXPECT_EQ(first[0].commandstatus(), Info::running) << c.what;
        EXPECT_EQ(first[0].estimatedremainingtime().seconds(), 600) << c.what;
        EXPECT_TRUE(served.result(uuid).frameworkerror().errortype() ==
                    sila::FrameworkError::COMMAND_EXECUTION_NOT_FINISHED)
            << c.what;

        served.publish({c.end});
        // Far more tests than the board holds run after it; the execution keeps its answer.
        std::vector<SystemTestStatus> later;
        for (int run = 2; run < 40; ++run) {
            later.push_back(ended(run, false, ""));
        }
        served.publish(later);
        for (const std::string& asked : {uuid, upper(uuid)}) {
            const auto seen = served.infos(asked);
            ASSERT_EQ(seen.size(), 1u) << c.what;
            EXPECT_EQ(seen.back().commandstatus(), c.status) << c.what;
            EXPECT_FALSE(seen.back().has_estimatedremainingtime()) << c.what;
            const sila::SiLAError error = served.result(asked);
            EXPECT_EQ(error.definedexecutionerror().erroridentifier(), c.error) << c.what;
        }
    }
}

TEST(ServedCalls, ACancelStopsOnlyARunningExecutionAndItsResultThenSaysItWasCancelled) {
    const std::string invalid = "org.silastandard/core.commands/CancelController/v1/"
                                "DefinedExecutionError/InvalidCommandExecutionUUID";
    const std::string parameter = "org.silastandard/core.commands/CancelController/v1/Command/"
                                  "CancelCommand/Parameter/CommandExecutionUUID";
    enum class Asked { Started, StartedUpper, Unknown, Malformed, Missing };
    const struct {
        const char* what;
        bool stops;      // the instrument still runs the test
        bool endedFirst; // the board has seen the run end before the cancel
        Asked asked;
        std::string error; // a defined error's identifier or a validation error's parameter
    } cases[] = {
        {"running", true, false, Asked::Started, ""},
        {"running, UUID in upper case", true, false, Asked::StartedUpper, ""},
        {"ended on the board", true, true, Asked::Started, invalid},
        {"ended at the instrument meanwhile", false, false, Asked::Started, invalid},
        {"never started", true, false, Asked::Unknown, invalid},
        {"not a UUID", true, false, Asked::Malformed, parameter},
        {"no UUID", true, false, Asked::Missing, parameter},
    };
    for (const auto& c : cases) {
        StartingInstrument instrument;
        instrument.stops = c.stops;
        ServedSystemTest served(true, instrument);
        SystemTestStatus running;
        running.run = 1;
        running.running = true;
        served.publish({running});
        const std::string uuid = served.start();
        if (c.endedFirst) {
            served.publish({ended(1, false, "")});
        }
        cc::CancelCommand_Parameters parameters;
        const std::string text = c.asked == Asked::Started        ? uuid
                                 : c.asked == Asked::StartedUpper ? upper(uuid)
                                 : c.asked == Asked::Unknown
                                     ? "0f8fad5b-d9cb-469f-a165-70867728950e"
                                     : "0f8fad5b-d9cb-469f";
        if (c.asked != Asked::Missing) {
            parameters.mutable_commandexecutionuuid()->mutable_uuid()->set_value(text);
        }
        grpc::ClientContext context;
        cc::CancelCommand_Responses nothing;
        const sila::SiLAError error =
            errorOf(served.cancel()->CancelCommand(&context, parameters, &nothing));
        EXPECT_EQ(error.has_validationerror() ? error.validationerror().parameter()
                                              : error.definedexecutionerror().erroridentifier(),
                  c.error)
            << c.what;

        // However the run then ends, only a cancelled one says so.
        served.publish({ended(1, false, "")});
        const std::string message = served.result(uuid).definedexecutionerror().message();
        EXPECT_EQ(message.find("cancelled") != std::string::npos, c.error.empty())
            << c.what << ": " << message;
    }
}

ms::StoreMethod_Parameters goodMethod() {
    ms::StoreMethod_Parameters p;
    p.mutable_methodnumber()->set_value(4);
    p.mutable_name()->set_value("Isocratic");
    p.mutable_description()->set_value("");
    p.mutable_evaporatortemperature()->set_value(50);
    p.mutable_nebulisertemperature()->set_value(40);
    p.mutable_transferlinetemperature()->set_value(40);
    p.mutable_gasflow()->set_value(1.5);
    p.mutable_autozerooffset()->set_value(0);
    p.mutable_timeconstant()->set_value(1);
    return p;
}

// A program that hangs in a window takes no command for seconds; a bad method is refused at
// once all the same, before it would wait for the tick.
TEST(ServedCalls, StoreMethodRefusesABadOrMissingFieldWithoutWaitingForTheTick) {
    ServedSystemTest served(false);
    auto methods = served.methods();
    const std::string prefix =
        "com.brackwater/detector/MethodStore/v1/Command/StoreMethod/Parameter/";
    ms::StoreMethod_Parameters hot = goodMethod();
    hot.mutable_evaporatortemperature()->set_value(301);
    ms::StoreMethod_Parameters nameless = goodMethod();
    nameless.clear_name();
    ms::StoreMethod_Parameters flowless = goodMethod();
    flowless.clear_gasflow();
    const struct {
        ms::StoreMethod_Parameters parameters;
        std::string parameter;
    } cases[] = {{hot, prefix + "EvaporatorTemperature"},
                 {nameless, prefix + "Name"},
                 {flowless, prefix + "GasFlow"}};
    for (const auto& c : cases) {
        grpc::ClientContext context;
        context.set_deadline(std::chrono::system_clock::now() + 2s);
        ms::StoreMethod_Responses responses;
        const auto error = errorOf(methods->StoreMethod(&context, c.parameters, &responses));
        EXPECT_EQ(error.validationerror().parameter(), c.parameter);
    }
}

TEST(ServedCalls, GetMethodServesOnlyWhatTheInstrumentSentAndWithinTheDefinitionsLimits) {
    MethodRecord good;
    good.number = 3;
    good.name = "Gradient";
    good.evaporatorTemp = 60;
    good.nebuliserTemp = 40;
    good.transferLineTemp = 50;
    good.gasFlow = 15;
    good.timeConstant = 2;
    const std::string notConnected =
        "com.brackwater/detector/MethodStore/v1/DefinedExecutionError/InstrumentNotConnected";
    enum class Answer { Method, NotConnected, Undefined };
    const struct {
        const char* what;
        bool known;
        MethodRecord record;
        Answer answer;
    } cases[] = {
        {"not sent yet", false, good, Answer::NotConnected},
        {"sent", true, good, Answer::Method},
        {"zeros from the instrument", true, MethodRecord{}, Answer::Undefined},
    };
    for (const auto& c : cases) {
        StartingInstrument instrument;
        instrument.known = c.known;
        instrument.record = c.record;
        ServedSystemTest served(true, instrument);
        grpc::ClientContext context;
        ms::GetMethod_Parameters parameters;
        parameters.mutable_methodnumber()->set_value(3);
        ms::GetMethod_Responses responses;
        const grpc::Status status = served.methods()->GetMethod(&context, parameters, &responses);
        const auto error = errorOf(status);
        switch (c.answer) {
        case Answer::NotConnected:
            EXPECT_EQ(error.definedexecutionerror().erroridentifier(), notConnected) << c.what;
            break;
        case Answer::Undefined:
            EXPECT_TRUE(error.has_undefinedexecutionerror()) << c.what;
            break;
        case Answer::Method:
            ASSERT_TRUE(status.ok()) << c.what;
            EXPECT_EQ(responses.method().name().value(), "Gradient");
            EXPECT_DOUBLE_EQ(responses.method().gasflow().value(), 1.5);
            break;
        }
    }
}

// Each unary call of a stub, made with empty parameters.
template <typename Stub, typename Request, typename Response>
grpc::Status unary(Stub& stub,
                   grpc::Status (Stub::*call)(grpc::ClientContext*, const Request&, Response*)) {
    grpc::ClientContext context;
    context.set_deadline(std::chrono::system_clock::now() + 5s);
    Response response;
    return (stub.*call)(&context, Request{}, &response);
}

// Each subscription's end, without reading any value.
template <typename Stub, typename Request, typename Reader>
grpc::Status subscription(Stub& stub, std::unique_ptr<Reader> (Stub::*call)(grpc::ClientContext*,
                                                                            const Request&)) {
    grpc::ClientContext context;
    context.set_deadline(std::chrono::system_clock::now() + 5s);
    return (stub.*call)(&context, Request{})->Finish();
}

// The gate stands before every command and property of the instrument's features, and before
// their parameters: with a stand-in metadata required on all three, every call made without it
// and with no parameters at all is the framework's Invalid Metadata.
TEST(ServedCalls, EveryInstrumentCallPassesTheMetadataGateBeforeItsParameters) {
    MetadataGate::Declaration required{"com.example/test/Gatekeeper/v1/Metadata/Badge",
                                       {"com.brackwater/detector/DetectorController/v1",
                                        "com.brackwater/detector/MethodStore/v1",
                                        "com.brackwater/detector/SystemTest/v1"},
                                       {}};
    ServedSystemTest served(true, {}, required);
    auto detector = served.detector();
    auto methods = served.methods();
    auto& systemTest = served.systemTest();
    using D = dc::DetectorController::Stub;
    const std::pair<const char*, grpc::Status> calls[] = {
        {"SetMode", unary(*detector, &D::SetMode)},
        {"SelectMethod", unary(*detector, &D::SelectMethod)},
        {"Autozero", unary(*detector, &D::Autozero)},
        {"SetTransferLine", unary(*detector, &D::SetTransferLine)},
        {"ClearFault", unary(*detector, &D::ClearFault)},
        {"Mode", subscription(*detector, &D::Subscribe_Mode)},
        {"Ready", subscription(*detector, &D::Subscribe_Ready)},
        {"EvaporatorTemperature", subscription(*detector, &D::Subscribe_EvaporatorTemperature)},
        {"NebuliserTemperature", subscription(*detector, &D::Subscribe_NebuliserTemperature)},
        {"ExhaustTemperature", subscription(*detector, &D::Subscribe_ExhaustTemperature)},
        {"TransferLineTemperature", subscription(*detector, &D::Subscribe_TransferLineTemperature)},
        {"GasFlow", subscription(*detector, &D::Subscribe_GasFlow)},
        {"DetectorOutput", subscription(*detector, &D::Subscribe_DetectorOutput)},
        {"MethodNumber", subscription(*detector, &D::Subscribe_MethodNumber)},
        {"Fault", subscription(*detector, &D::Subscribe_Fault)},
        {"GetMethod", unary(*methods, &ms::MethodStore::Stub::GetMethod)},
        {"StoreMethod", unary(*methods, &ms::MethodStore::Stub::StoreMethod)},
        {"SendMethod", unary(*methods, &ms::MethodStore::Stub::SendMethod)},
        {"AnalyzeLog", unary(systemTest, &st::SystemTest::Stub::AnalyzeLog)},
        {"RunSystemTest", unary(systemTest, &st::SystemTest::Stub::RunSystemTest)},
    };
    for (const auto& [what, status] : calls) {
        EXPECT_EQ(errorOf(status).frameworkerror().errortype(),
                  sila::FrameworkError::INVALID_METADATA)
            << what;
        EXPECT_TRUE(errorOf(status).has_frameworkerror()) << what;
    }
}

} // namespace
} // namespace kqvdr::remote
