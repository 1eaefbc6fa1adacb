#include "Discovery.h"
#include "DnsServiceAnnouncement.h"
#include "WideText.h"

#include <optional>

namespace kqvdr {
namespace {

template <typename Function> void find(HMODULE library, const char* name, Function& function) {
    // Through a plain function pointer: GetProcAddress's own type matches none of them.
    function =
        reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

// Windows before 10 1809 has dnsapi.dll without these: then some are missing, and the program
// still starts.
DnsServiceCalls callsIn(HMODULE library) {
    DnsServiceCalls calls;
    if (library) {
        find(library, "DnsServiceConstructInstance", calls.constructInstance);
        find(library, "DnsServiceFreeInstance", calls.freeInstance);
        find(library, "DnsServiceRegister", calls.registerService);
        find(library, "DnsServiceDeRegister", calls.deregisterService);
        find(library, "DnsServiceRegisterCancel", calls.cancelRegistration);
    }
    return calls;
}

std::string computerName() {
    wchar_t name[256];
    DWORD size = 256;
    if (!::GetComputerNameExW(ComputerNameDnsHostname, name, &size)) {
        return {};
    }
    return utf8FromWide(std::wstring_view(name, size));
}

} // namespace

struct Discovery::Impl {
    HMODULE library = nullptr;
    std::optional<DnsServiceAnnouncement> announcement;

    ~Impl() {
        // Windows' answers run code of the library: it stays while one may still come.
        const bool settled = announcement->withdraw();
        announcement.reset();
        if (settled && library) {
            ::FreeLibrary(library);
        }
    }
};

Discovery::Discovery(DiscoveryInfo info) : impl_(std::make_unique<Impl>()) {
    // Only from the system folder: never a dnsapi.dll planted beside the program.
    impl_->library = ::LoadLibraryExW(L"dnsapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    impl_->announcement.emplace(callsIn(impl_->library), info, computerName());
}

Discovery::~Discovery() = default;

bool Discovery::announced() const {
    return impl_->announcement->announced();
}

std::string Discovery::state() const {
    return impl_->announcement->state();
}

} // namespace kqvdr
