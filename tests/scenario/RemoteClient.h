#pragma once

#include "CancelController.grpc.pb.h"
#include "DetectorController.grpc.pb.h"
#include "MethodStore.grpc.pb.h"
#include "SiLAFramework.pb.h"
#include "SystemTest.grpc.pb.h"

#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace kqvdr {
class SilaRemote;
}

namespace kqvdr::test {

class Night;

namespace dc = sila2::com::brackwater::detector::detectorcontroller::v1;
namespace ms = sila2::com::brackwater::detector::methodstore::v1;
namespace st = sila2::com::brackwater::detector::systemtest::v1;
namespace cc = sila2::org::silastandard::core::commands::cancelcontroller::v1;
namespace sila = sila2::org::silastandard;

// What a call came back with: OK, or the SiLA error its status carried.
struct RemoteAnswer {
    grpc::Status status;
    sila::SiLAError error; // empty when the status is OK or carries no SiLA error

    static RemoteAnswer of(const grpc::Status& status);
    bool ok() const { return status.ok(); }
    // "Kind Identifier": "defined NoFault", "validation SelectMethod/MethodNumber", ...
    std::string summary() const;
};

// Messages a server stream sent, read on a thread of its own until the stream ends.
template <typename Message> class StreamWatch {
public:
    using Open = std::function<std::unique_ptr<grpc::ClientReader<Message>>(grpc::ClientContext&)>;

    explicit StreamWatch(Open open) {
        reader_ = std::thread([this, open = std::move(open)] {
            auto reader = open(context_);
            Message message;
            while (reader->Read(&message)) {
                std::lock_guard lock(mutex_);
                seen_.push_back(message);
            }
            const grpc::Status status = reader->Finish();
            std::lock_guard lock(mutex_);
            status_ = status;
            ended_ = true;
            changed_.notify_all();
        });
    }
    ~StreamWatch() {
        context_.TryCancel();
        reader_.join();
    }
    StreamWatch(const StreamWatch&) = delete;
    StreamWatch& operator=(const StreamWatch&) = delete;

    // True when the server ended the stream within `patience`; cancelled otherwise.
    bool waitForEnd(std::chrono::milliseconds patience) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, patience, [this] { return ended_; });
    }
    std::vector<Message> seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }

private:
    grpc::ClientContext context_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Message> seen_;
    grpc::Status status_;
    bool ended_ = false;
    std::thread reader_;
};

// The program's SiLA 2 server for one night, on a free port of this computer, and a client of it
// whose calls run on threads of their own, as a scheduler's would.
class RemoteClient {
public:
    explicit RemoteClient(Night& night);
    ~RemoteClient();
    RemoteClient(const RemoteClient&) = delete;
    RemoteClient& operator=(const RemoteClient&) = delete;

    // Sends a call and returns once it waits for the program's next tick, or has its answer
    // already (a call the server refuses at once): a script knows where it lands.
    std::shared_future<RemoteAnswer> send(std::function<grpc::Status(grpc::ClientContext&)> call);
    // The answer of a call the night has taken by now.
    static RemoteAnswer answer(const std::shared_future<RemoteAnswer>& sent);

    dc::DetectorController::Stub& detector() { return *detector_; }
    ms::MethodStore::Stub& methods() { return *methods_; }
    st::SystemTest::Stub& systemTest() { return *systemTest_; }
    cc::CancelController::Stub& cancel() { return *cancel_; }

private:
    std::unique_ptr<SilaRemote> remote_;
    std::shared_ptr<grpc::Channel> channel_;
    std::unique_ptr<dc::DetectorController::Stub> detector_;
    std::unique_ptr<ms::MethodStore::Stub> methods_;
    std::unique_ptr<st::SystemTest::Stub> systemTest_;
    std::unique_ptr<cc::CancelController::Stub> cancel_;
    std::vector<std::thread> calls_;
};

} // namespace kqvdr::test
