#include "DnsServiceAnnouncement.h"

#include "DiscoveryText.h"
#include "DnsServiceRecord.h"
#include "WideText.h"
#include "WindowsError.h"

#include <condition_variable>
#include <mutex>
#include <vector>

namespace kqvdr {

enum class Phase {
    Idle,        // nothing asked of Windows
    Registering, // waiting for the registration's answer
    Registered,
    Withdrawing, // waiting for the withdrawal's answer
    Done,        // no answer is to come
    Abandoned,   // its owner stopped waiting: answers are only freed
};

struct DnsServiceAnnouncement::Context {
    DnsServiceCalls calls;
    DiscoveryInfo info;
    PDNS_SERVICE_INSTANCE instance = nullptr;
    DNS_SERVICE_REGISTER_REQUEST request{};
    DNS_SERVICE_CANCEL cancel{};

    mutable std::mutex mutex;
    std::condition_variable changed;
    Phase phase = Phase::Idle;
    bool announced = false;
    std::string state;

    Context(const DnsServiceCalls& given, const DiscoveryInfo& described)
        : calls(given), info(described) {}
    ~Context() {
        if (instance) {
            calls.freeInstance(instance);
        }
    }

    void refused(DWORD status) {
        phase = Phase::Done;
        announced = false;
        state = "Not announced: Windows refused the announcement (" +
                windowsError(status).message() + ").";
    }

    // Windows' answer to a registration or a withdrawal, on a thread of Windows' own.
    static VOID WINAPI answered(DWORD status, PVOID self, PDNS_SERVICE_INSTANCE copy) {
        auto* context = static_cast<Context*>(self);
        if (copy) {
            context->calls.freeInstance(copy);
        }
        const std::lock_guard lock(context->mutex);
        switch (context->phase) {
        case Phase::Registering:
            if (status == ERROR_SUCCESS) {
                context->phase = Phase::Registered;
                context->announced = true;
                context->state =
                    "Announced on the network as " + discoveryInstanceName(context->info) + "." +
                    kDiscoveryServiceType + ", port " + std::to_string(context->info.port) + ".";
            } else {
                context->refused(status);
            }
            break;
        case Phase::Withdrawing:
            context->phase = Phase::Done;
            break;
        case Phase::Idle:
        case Phase::Registered:
        case Phase::Done:
        case Phase::Abandoned:
            break;
        }
        context->changed.notify_all();
    }

    // Whether an answer came before the patience ran out; the phase is then another.
    bool awaitAnswer(Phase waitingIn, std::chrono::milliseconds patience) {
        std::unique_lock lock(mutex);
        if (changed.wait_for(lock, patience, [&] { return phase != waitingIn; })) {
            return true;
        }
        phase = Phase::Abandoned;
        return false;
    }

    Phase currentPhase() const {
        const std::lock_guard lock(mutex);
        return phase;
    }
};

namespace {

std::vector<std::wstring> wide(const std::vector<std::string>& texts) {
    std::vector<std::wstring> result;
    for (const std::string& text : texts) {
        result.push_back(wideFromUtf8(text));
    }
    return result;
}

std::vector<PCWSTR> pointers(const std::vector<std::wstring>& texts) {
    std::vector<PCWSTR> result;
    for (const std::wstring& text : texts) {
        result.push_back(text.c_str());
    }
    return result;
}

} // namespace

DnsServiceAnnouncement::DnsServiceAnnouncement(const DnsServiceCalls& calls,
                                               const DiscoveryInfo& info,
                                               const std::string& computerName,
                                               std::chrono::milliseconds patience)
    : context_(new Context(calls, info)), patience_(patience) {
    Context& context = *context_;
    const DnsServiceRecord record = dnsServiceRecord(info, computerName);
    if (info.port == 0) {
        context.state = "Not announced: the server has no port.";
        return;
    }
    if (!calls.complete()) {
        context.state = "Not announced: discovery needs Windows 10 version 1809 or later.";
        return;
    }
    if (record.hostName.empty()) {
        context.state = "Not announced: this computer has no host name.";
        return;
    }
    const std::wstring name = wideFromUtf8(record.instanceName);
    const std::wstring host = wideFromUtf8(record.hostName);
    const auto keys = wide(record.keys);
    const auto values = wide(record.values);
    auto keyPointers = pointers(keys);
    auto valuePointers = pointers(values);
    // No addresses: Windows answers for its own host name with every address it has.
    context.instance = calls.constructInstance(name.c_str(), host.c_str(), nullptr, nullptr,
                                               record.port, 0, 0, static_cast<DWORD>(keys.size()),
                                               keyPointers.data(), valuePointers.data());
    if (!context.instance) {
        context.state = "Not announced: Windows could not describe the service.";
        return;
    }
    context.request.Version = DNS_QUERY_REQUEST_VERSION1;
    context.request.InterfaceIndex = 0; // every interface
    context.request.pServiceInstance = context.instance;
    context.request.pRegisterCompletionCallback = &Context::answered;
    context.request.pQueryContext = context_;
    {
        // Set first: the answer may come before the call returns.
        const std::lock_guard lock(context.mutex);
        context.phase = Phase::Registering;
        context.state = "Not announced yet: waiting for Windows to register the service.";
    }
    const DWORD result = calls.registerService(&context.request, &context.cancel);
    if (result != kDnsRequestPending) {
        const std::lock_guard lock(context.mutex);
        if (context.phase == Phase::Registering) {
            context.refused(result);
        }
    }
}

DnsServiceAnnouncement::~DnsServiceAnnouncement() {
    withdraw();
    if (settled_) {
        delete context_;
    }
}

bool DnsServiceAnnouncement::withdraw() {
    if (withdrawn_) {
        return settled_;
    }
    withdrawn_ = true;
    Context& context = *context_;
    if (context.currentPhase() == Phase::Registering) {
        // An answer is expected whatever this returns: the cancellation's, or the registration's
        // when it was too late to cancel. Should neither come, the wait runs out.
        context.calls.cancelRegistration(&context.cancel);
        if (!context.awaitAnswer(Phase::Registering, patience_)) {
            return settled_ = false;
        }
    }
    {
        const std::lock_guard lock(context.mutex);
        if (context.phase != Phase::Registered) {
            context.phase = Phase::Done;
            context.announced = false;
            return settled_ = true;
        }
        context.phase = Phase::Withdrawing;
        context.announced = false;
        context.state = "Not announced: withdrawn.";
    }
    const DWORD result = context.calls.deregisterService(&context.request, nullptr);
    if (result != kDnsRequestPending) {
        const std::lock_guard lock(context.mutex);
        context.phase = Phase::Done;
        return settled_ = true;
    }
    return settled_ = context.awaitAnswer(Phase::Withdrawing, patience_);
}

bool DnsServiceAnnouncement::announced() const {
    const std::lock_guard lock(context_->mutex);
    return context_->announced;
}

std::string DnsServiceAnnouncement::state() const {
    const std::lock_guard lock(context_->mutex);
    return context_->state;
}

} // namespace kqvdr
