#include "SilaRemote.h"

#include "CertificateFingerprint.h"
#include "ControlSession.h"
#include "DescriptorLimit.h"
#include "Discovery.h"
#include "LocalAddress.h"
#include "ServerIdentity.h"
#include "TlsCredentials.h"

#include <unistd.h>

namespace kqvdr {
namespace {

const char* const kDescription =
    "PC front panel of the KQ-VDR 1000 evaporative light-scattering detector: modes, methods, "
    "live readings, faults and the system test.";
const char* const kVendorUrl = "https://www.brackwater.com/kq-vdr-1000";

std::string hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? std::string(name) : std::string();
}

} // namespace

SilaRemote::SilaRemote(ControlSession& session, QtSystemTestWindows& systemTest,
                       std::filesystem::path dataDir)
    : session_(session), instrument_(session, systemTest), dataDir_(std::move(dataDir)) {}

SilaRemote::~SilaRemote() {
    discovery_.reset();
    if (server_) {
        server_->stop();
    }
}

bool SilaRemote::start(const CommandLine& line, std::string& error) {
    // Every connection costs a descriptor. The low soft limit guards select(), which nothing
    // here uses (the serial line and Qt wait with poll()).
    remote::raiseDescriptorLimit();
    // Names set by clients go through the same store, one at a time (the server sees to that).
    auto identities = std::make_shared<ServerIdentityStore>(dataDir_);
    const ServerIdentity identity = identities->loadOrCreate();
    if (identity.uuid.empty()) {
        error = identities->error();
        return false;
    }
    uuid_ = identity.uuid;

    remote::SilaServer::Settings settings;
    settings.address = line.silaAddress;
    settings.port = static_cast<std::uint16_t>(line.silaPort.value_or(0));
    settings.uuid = identity.uuid;
    settings.name = identity.name;
    settings.description.description = kDescription;
    settings.description.version = KQVDR_VERSION;
    settings.description.vendorUrl = kVendorUrl;
    settings.dataDir = dataDir_;
    settings.keepName = [identities](const std::string& name, std::string& why) {
        return identities->setName(name, why);
    };
    if (!line.silaInsecure) {
        std::optional<TlsCredentials> credentials =
            line.silaCert ? loadTlsCredentials(*line.silaCert, *line.silaKey, error)
                          : loadOrCreateTlsCredentials(dataDir_, identity.uuid, hostName(), error);
        if (!credentials) {
            return false;
        }
        settings.tls =
            remote::SilaServer::KeyPair{credentials->privateKeyPem, credentials->certificatePem};
        fingerprint_ = remote::certificateFingerprint(credentials->certificatePem);
        selfSigned_ = credentials->selfSigned;
    }
    certificateAuthority_ =
        selfSigned_ && settings.tls ? settings.tls->certificatePem : std::string();
    const bool announced = !remote::isLocalOnlyAddress(settings.address);

    server_ = std::make_unique<remote::SilaServer>(std::move(settings));
    // The first values are there before any client can ask.
    server_->publish(instrument_.liveValues());
    if (!server_->start(error)) {
        server_.reset();
        return false;
    }
    Heartbeat& heartbeat = session_.heartbeat();
    connect(&heartbeat, &Heartbeat::aboutToTick, this,
            [this] { server_->takeCommands(instrument_); });
    connect(&heartbeat, &Heartbeat::ticked, this, [this, &heartbeat] {
        if (!heartbeat.inTick()) {
            instrument_.tickEnded();
        }
        server_->publish(instrument_.liveValues());
        // A client may have renamed the server; the network is told the name it has now.
        if (discovery_ && server_->serverName() != announcedName_) {
            announce();
        }
    });
    if (announced) {
        announce();
    }
    return true;
}

void SilaRemote::announce() {
    discovery_.reset();
    announcedName_ = server_->serverName();
    discovery_ = std::make_unique<Discovery>(DiscoveryInfo{uuid_, server_->port(), KQVDR_VERSION,
                                                           announcedName_, kDescription,
                                                           certificateAuthority_});
}

std::vector<std::pair<std::string, std::string>> SilaRemote::statusRows() const {
    if (!server_) {
        return {{"State", "off"}};
    }
    return {
        {"State", server_->secure() ? "serving" : "serving without TLS (not standard)"},
        {"Address", server_->address() + ":" + std::to_string(server_->port())},
        {"Server name", server_->serverName()},
        {"Server UUID", uuid_},
        {"Certificate (SHA-256)", fingerprint_.empty() ? "none" : fingerprint_},
        {"Discovery", discovery_ ? discovery_->state()
                                 : "Not announced: the server listens only on this computer."},
        {"Open streams", std::to_string(server_->openStreams())},
        {"Commands waiting", std::to_string(server_->waitingCommands())},
    };
}

} // namespace kqvdr
