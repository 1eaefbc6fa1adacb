#include "RemoteClient.h"

#include "Base64.h"
#include "CommandLine.h"
#include "Night.h"
#include "SilaRemote.h"

#include <QCoreApplication>
#include <grpcpp/create_channel.h>
#include <gtest/gtest.h>

namespace kqvdr::test {
namespace {

using namespace std::chrono_literals;

// However loaded the machine, a call reaches the server's queue long before this.
constexpr auto kDeliveryPatience = 20s;

} // namespace

RemoteAnswer RemoteAnswer::of(const grpc::Status& status) {
    RemoteAnswer answer{status, {}};
    if (!status.ok()) {
        if (const auto bytes = remote::base64Decode(status.error_message())) {
            answer.error.ParseFromString(*bytes);
        }
    }
    return answer;
}

std::string RemoteAnswer::summary() const {
    switch (error.error_case()) {
    case sila::SiLAError::kValidationError:
        return "validation " + error.validationerror().parameter();
    case sila::SiLAError::kDefinedExecutionError:
        return "defined " + error.definedexecutionerror().erroridentifier();
    case sila::SiLAError::kUndefinedExecutionError:
        return "undefined " + error.undefinedexecutionerror().message();
    case sila::SiLAError::kFrameworkError:
        return "framework " + std::to_string(error.frameworkerror().errortype());
    case sila::SiLAError::ERROR_NOT_SET:
        break;
    }
    return status.ok() ? "OK" : "status " + std::to_string(status.error_code());
}

RemoteClient::RemoteClient(Night& night) {
    remote_ = std::make_unique<SilaRemote>(night.session(), night.systemTestWindows(), night.dir());
    CommandLine line;
    line.silaPort = 0;
    line.silaInsecure = true; // the certificate is another test's business
    std::string why;
    if (!remote_->start(line, why)) {
        ADD_FAILURE() << "the SiLA 2 server did not start: " << why;
        return;
    }
    channel_ = grpc::CreateChannel("127.0.0.1:" + std::to_string(remote_->port()),
                                   grpc::InsecureChannelCredentials());
    detector_ = dc::DetectorController::NewStub(channel_);
    methods_ = ms::MethodStore::NewStub(channel_);
    systemTest_ = st::SystemTest::NewStub(channel_);
    cancel_ = cc::CancelController::NewStub(channel_);
}

RemoteClient::~RemoteClient() {
    // Calls still waiting fail once the server stops.
    remote_.reset();
    for (std::thread& call : calls_) {
        call.join();
    }
}

std::shared_future<RemoteAnswer>
RemoteClient::send(std::function<grpc::Status(grpc::ClientContext&)> call) {
    auto promise = std::make_shared<std::promise<RemoteAnswer>>();
    std::shared_future<RemoteAnswer> answer = promise->get_future().share();
    const std::size_t waitingBefore = remote_->waitingCommands();
    calls_.emplace_back([call = std::move(call), promise] {
        grpc::ClientContext context;
        promise->set_value(RemoteAnswer::of(call(context)));
    });
    const auto giveUp = std::chrono::steady_clock::now() + kDeliveryPatience;
    while (remote_->waitingCommands() == waitingBefore &&
           answer.wait_for(1ms) != std::future_status::ready) {
        if (std::chrono::steady_clock::now() > giveUp) {
            ADD_FAILURE() << "a remote call never reached the program";
            break;
        }
    }
    return answer;
}

RemoteAnswer RemoteClient::answer(const std::shared_future<RemoteAnswer>& sent) {
    if (sent.wait_for(kDeliveryPatience) != std::future_status::ready) {
        ADD_FAILURE() << "a remote call got no answer";
        return {grpc::Status(grpc::StatusCode::DEADLINE_EXCEEDED, "no answer"), {}};
    }
    return sent.get();
}

} // namespace kqvdr::test
