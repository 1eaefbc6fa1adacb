#pragma once

#include "DiscoveryInfo.h"

#include <chrono>
#include <string>
#include <windows.h>
// After windows.h, whose types it uses.
#include <windns.h>

namespace kqvdr {

// The calls of Windows' DNS-SD an announcement makes. The program takes them from dnsapi.dll,
// which has them from Windows 10 1809 on; a test puts its own in their place.
struct DnsServiceCalls {
    PDNS_SERVICE_INSTANCE(WINAPI* constructInstance)
    (PCWSTR, PCWSTR, PIP4_ADDRESS, PIP6_ADDRESS, WORD, WORD, WORD, DWORD, PCWSTR*,
     PCWSTR*) = nullptr;
    VOID(WINAPI* freeInstance)(PDNS_SERVICE_INSTANCE) = nullptr;
    DWORD(WINAPI* registerService)(PDNS_SERVICE_REGISTER_REQUEST, PDNS_SERVICE_CANCEL) = nullptr;
    DWORD(WINAPI* deregisterService)(PDNS_SERVICE_REGISTER_REQUEST, PDNS_SERVICE_CANCEL) = nullptr;
    DWORD(WINAPI* cancelRegistration)(PDNS_SERVICE_CANCEL) = nullptr;

    bool complete() const {
        return constructInstance && freeInstance && registerService && deregisterService &&
               cancelRegistration;
    }
};

// What DnsServiceRegister and DnsServiceDeRegister return when they have begun.
inline constexpr DWORD kDnsRequestPending = 9506;

// Announces the server through Windows' DNS-SD: registered when made, withdrawn when
// destroyed. Windows answers on a thread of its own, to a context that must outlive every
// answer: withdraw() waits for the last one, for at most `patience`; if Windows has not answered
// by then, the context is left behind (a few hundred bytes) rather than freed under a late
// answer.
class DnsServiceAnnouncement {
public:
    DnsServiceAnnouncement(const DnsServiceCalls& calls, const DiscoveryInfo& info,
                           const std::string& computerName,
                           std::chrono::milliseconds patience = std::chrono::seconds(2));
    ~DnsServiceAnnouncement();
    DnsServiceAnnouncement(const DnsServiceAnnouncement&) = delete;
    DnsServiceAnnouncement& operator=(const DnsServiceAnnouncement&) = delete;

    bool announced() const;
    std::string state() const;

    // Takes the announcement back, or stops the registration under way. True when Windows is
    // done with it (or never began), false when its answer did not come in time.
    bool withdraw();

    struct Context;

private:
    Context* context_;
    std::chrono::milliseconds patience_;
    bool withdrawn_ = false;
    bool settled_ = true;
};

} // namespace kqvdr
