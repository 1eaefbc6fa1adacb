// The announcement through Windows' DNS-SD, against calls that stand in for dnsapi.dll's, and
// once against the system's own.
#include "Discovery.h"
#include "DnsServiceAnnouncement.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace kqvdr {
namespace {

using namespace std::chrono_literals;

const DiscoveryInfo kInfo{
    "0f8fad5b-d9cb-469f-a165-70867728950e", 50052, "1.0", "KQ-VDR 1000 Control", "Detector", ""};

// What Windows would do with each request, and what it was asked. The calls are plain functions,
// as dnsapi.dll's are: they find the fake through `current`.
class FakeDnsService {
public:
    DWORD registerReturns = kDnsRequestPending;
    bool answersWithdrawal = true;
    bool answersCancel = true;
    DWORD cancelAnswerStatus = ERROR_CANCELLED;
    bool constructFails = false;

    std::wstring name;
    std::wstring host;
    WORD port = 0;
    std::vector<std::wstring> keys;
    std::vector<std::wstring> values;
    PDNS_SERVICE_REGISTER_REQUEST request = nullptr;
    PDNS_SERVICE_INSTANCE constructed = nullptr;
    PDNS_SERVICE_INSTANCE withdrawnInstance = nullptr;
    int registers = 0;
    int deregisters = 0;
    int cancels = 0;
    std::atomic<bool> withdrawalAnswerBegun{false};

    FakeDnsService() { current = this; }
    ~FakeDnsService() {
        for (auto& thread : threads_) {
            thread.join();
        }
        current = nullptr;
    }

    DnsServiceCalls calls() const {
        return {&construct, &free, &registerService, &deregisterService, &cancel};
    }

    // Windows' answer to the registration or withdrawal under way, with the copy of the
    // instance Windows gives, which the receiver must free.
    void answer(DWORD status) {
        request->pRegisterCompletionCallback(status, request->pQueryContext, newInstance());
    }
    void answerLater(DWORD status, std::atomic<bool>* begun = nullptr) {
        threads_.emplace_back([this, status, begun] {
            std::this_thread::sleep_for(100ms);
            if (begun) {
                *begun = true;
            }
            answer(status);
        });
    }

    std::size_t instancesAlive() {
        const std::lock_guard lock(mutex_);
        return alive_.size();
    }

private:
    static inline FakeDnsService* current = nullptr;

    PDNS_SERVICE_INSTANCE newInstance() {
        const std::lock_guard lock(mutex_);
        auto* instance = new DNS_SERVICE_INSTANCE{};
        alive_.insert(instance);
        return instance;
    }

    static PDNS_SERVICE_INSTANCE WINAPI construct(PCWSTR name, PCWSTR host, PIP4_ADDRESS,
                                                  PIP6_ADDRESS, WORD port, WORD, WORD, DWORD count,
                                                  PCWSTR* keys, PCWSTR* values) {
        current->name = name;
        current->host = host;
        current->port = port;
        for (DWORD i = 0; i < count; ++i) {
            current->keys.emplace_back(keys[i]);
            current->values.emplace_back(values[i]);
        }
        if (current->constructFails) {
            return nullptr;
        }
        current->constructed = current->newInstance();
        return current->constructed;
    }
    static VOID WINAPI free(PDNS_SERVICE_INSTANCE instance) {
        const std::lock_guard lock(current->mutex_);
        EXPECT_EQ(current->alive_.erase(instance), 1u) << "freed twice, or never made";
        delete instance;
    }
    static DWORD WINAPI registerService(PDNS_SERVICE_REGISTER_REQUEST request,
                                        PDNS_SERVICE_CANCEL) {
        ++current->registers;
        current->request = request;
        return current->registerReturns;
    }
    static DWORD WINAPI deregisterService(PDNS_SERVICE_REGISTER_REQUEST request,
                                          PDNS_SERVICE_CANCEL cancel) {
        ++current->deregisters;
        EXPECT_EQ(cancel, nullptr);
        current->withdrawnInstance = request->pServiceInstance;
        if (current->answersWithdrawal) {
            current->answerLater(ERROR_SUCCESS, &current->withdrawalAnswerBegun);
        }
        return kDnsRequestPending;
    }
    static DWORD WINAPI cancel(PDNS_SERVICE_CANCEL) {
        ++current->cancels;
        if (current->answersCancel) {
            current->answerLater(current->cancelAnswerStatus);
        }
        return ERROR_SUCCESS;
    }

    std::mutex mutex_;
    std::set<PDNS_SERVICE_INSTANCE> alive_;
    std::vector<std::thread> threads_;
};

TEST(Win32DnsDiscovery, ItRegistersTheServiceAndWithdrawsItBeforeItIsGone) {
    FakeDnsService windows;
    {
        DnsServiceAnnouncement announcement(windows.calls(), kInfo, "LAB-PC-07");
        EXPECT_EQ(windows.name, L"0f8fad5b-d9cb-469f-a165-70867728950e._sila._tcp.local");
        EXPECT_EQ(windows.host, L"LAB-PC-07.local");
        EXPECT_EQ(windows.port, 50052);
        EXPECT_EQ(windows.keys,
                  (std::vector<std::wstring>{L"version", L"server_name", L"description"}));
        EXPECT_EQ(windows.values,
                  (std::vector<std::wstring>{L"1.0", L"KQ-VDR 1000 Control", L"Detector"}));
        ASSERT_EQ(windows.registers, 1);
        EXPECT_EQ(windows.request->Version, static_cast<ULONG>(DNS_QUERY_REQUEST_VERSION1));
        EXPECT_EQ(windows.request->pServiceInstance, windows.constructed);
        EXPECT_FALSE(announcement.announced());
        EXPECT_EQ(announcement.state(),
                  "Not announced yet: waiting for Windows to register the service.");

        windows.answer(ERROR_SUCCESS);
        EXPECT_TRUE(announcement.announced());
        EXPECT_EQ(announcement.state(), "Announced on the network as "
                                        "0f8fad5b-d9cb-469f-a165-70867728950e._sila._tcp, port "
                                        "50052.");
    }
    EXPECT_EQ(windows.deregisters, 1);
    EXPECT_EQ(windows.withdrawnInstance, windows.constructed);
    EXPECT_TRUE(windows.withdrawalAnswerBegun) << "gone before Windows had answered";
    EXPECT_EQ(windows.cancels, 0);
    EXPECT_EQ(windows.instancesAlive(), 0u) << "every instance freed";
}

TEST(Win32DnsDiscovery, WhatStopsTheAnnouncementIsSaidAndNothingIsLeftRegistered) {
    using Calls = DnsServiceCalls;
    struct Case {
        const char* what;
        const char* state;
        int registers = 0;
        DWORD registerReturns = kDnsRequestPending;
        std::optional<DWORD> answer = std::nullopt; // Windows' answer to the registration
        void (*lacking)(Calls&) = [](Calls&) {};    // a call dnsapi.dll does not have
        std::uint16_t port = 50052;
        const char* computer = "LAB-PC-07";
        bool constructFails = false;
    };
    const char* const refused = "Not announced: Windows refused the announcement (";
    const char* const tooOld = "Not announced: discovery needs Windows 10 version 1809 or later.";
    const Case cases[] = {
        {.what = "refused at once",
         .state = refused,
         .registers = 1,
         .registerReturns = ERROR_ACCESS_DENIED},
        {.what = "refused in the answer",
         .state = refused,
         .registers = 1,
         .answer = DNS_ERROR_RCODE_SERVER_FAILURE},
        {.what = "no registration",
         .state = tooOld,
         .lacking = [](Calls& c) { c.registerService = nullptr; }},
        {.what = "no withdrawal",
         .state = tooOld,
         .lacking = [](Calls& c) { c.deregisterService = nullptr; }},
        {.what = "no cancellation",
         .state = tooOld,
         .lacking = [](Calls& c) { c.cancelRegistration = nullptr; }},
        {.what = "no instances",
         .state = tooOld,
         .lacking = [](Calls& c) { c.constructInstance = nullptr; }},
        {.what = "no port", .state = "Not announced: the server has no port.", .port = 0},
        {.what = "no host name",
         .state = "Not announced: this computer has no host name.",
         .computer = ""},
        {.what = "no instance made",
         .state = "Not announced: Windows could not describe the service.",
         .constructFails = true},
    };
    for (const Case& c : cases) {
        FakeDnsService windows;
        windows.registerReturns = c.registerReturns;
        windows.constructFails = c.constructFails;
        Calls calls = windows.calls();
        c.lacking(calls);
        DiscoveryInfo info = kInfo;
        info.port = c.port;
        {
            DnsServiceAnnouncement announcement(calls, info, c.computer);
            if (c.answer) {
                windows.answer(*c.answer);
            }
            EXPECT_FALSE(announcement.announced()) << c.what;
            EXPECT_TRUE(announcement.state().starts_with(c.state))
                << c.what << ": " << announcement.state();
            EXPECT_EQ(windows.registers, c.registers) << c.what;
        }
        EXPECT_EQ(windows.deregisters + windows.cancels, 0) << c.what << ": nothing to take back";
        EXPECT_EQ(windows.instancesAlive(), 0u) << c.what;
    }
}

TEST(Win32DnsDiscovery, GoneWhileRegisteringItCancelsAndWithdrawsWhatGotRegisteredAnyway) {
    struct Case {
        const char* what;
        DWORD answerToCancel;
        int deregisters;
    };
    const Case cases[] = {{"cancelled", ERROR_CANCELLED, 0},
                          {"registered before the cancellation", ERROR_SUCCESS, 1}};
    for (const Case& c : cases) {
        FakeDnsService windows;
        windows.cancelAnswerStatus = c.answerToCancel;
        { DnsServiceAnnouncement announcement(windows.calls(), kInfo, "LAB-PC-07"); }
        EXPECT_EQ(windows.cancels, 1) << c.what;
        EXPECT_EQ(windows.deregisters, c.deregisters) << c.what;
        EXPECT_EQ(windows.instancesAlive(), 0u) << c.what;
    }
}

// Windows that never answers must not hold the program's end for long, and its answer when it
// does come must find its context still there.
TEST(Win32DnsDiscovery, AnAnswerAfterTheWaitIsOverFindsItsContextAndFreesItsCopy) {
    struct Case {
        const char* what;
        bool registered;
    };
    for (const Case& c : {Case{"withdrawal unanswered", true}, Case{"cancel unanswered", false}}) {
        FakeDnsService windows;
        windows.answersWithdrawal = false;
        windows.answersCancel = false;
        const auto started = std::chrono::steady_clock::now();
        {
            DnsServiceAnnouncement announcement(windows.calls(), kInfo, "LAB-PC-07", 50ms);
            if (c.registered) {
                windows.answer(ERROR_SUCCESS);
            }
            EXPECT_FALSE(announcement.withdraw()) << c.what << ": Windows did not answer";
            EXPECT_FALSE(announcement.announced()) << c.what;
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, 5s) << c.what;
        const std::size_t before = windows.instancesAlive();
        windows.answer(ERROR_SUCCESS); // late, to the context left behind
        EXPECT_EQ(windows.instancesAlive(), before) << c.what << ": the copy was freed";
        EXPECT_EQ(windows.deregisters, c.registered ? 1 : 0) << c.what;
    }
}

// Wine's dnsapi.dll has none of these calls, as a Windows before 10 1809: the program goes on
// unannounced. On a Windows that has them the announcement begins or is refused.
TEST(Win32DnsDiscovery, TheSystemsOwnDnsSdIsUsedOrTheStateSaysWhichWindowsIsNeeded) {
    const HMODULE library = ::LoadLibraryExW(L"dnsapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const bool available = library && ::GetProcAddress(library, "DnsServiceRegister");
    {
        const Discovery discovery(kInfo);
        const std::string state = discovery.state();
        if (available) {
            EXPECT_TRUE(state.starts_with("Not announced yet: waiting for Windows") ||
                        state.starts_with("Announced on the network as ") ||
                        state.starts_with("Not announced: Windows refused"))
                << state;
        } else {
            EXPECT_FALSE(discovery.announced());
            EXPECT_EQ(state, "Not announced: discovery needs Windows 10 version 1809 or later.");
        }
    }
    if (library) {
        ::FreeLibrary(library);
    }
}

} // namespace
} // namespace kqvdr
