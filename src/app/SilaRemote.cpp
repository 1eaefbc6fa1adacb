#include "SilaRemote.h"

#include "CertificateFingerprint.h"
#include "ControlSession.h"
#include "DescriptorLimit.h"
#include "Discovery.h"
#include "FileReplace.h"
#include "LocalAddress.h"
#include "OpenSslPem.h"
#include "PanelLock.h"
#include "ServerIdentity.h"
#include "TlsCredentials.h"
#include "UserStore.h"
#include "Utf8Path.h"

#include <QSysInfo>
#include <cstdio>

namespace kqvdr {
namespace {

const char* const kDescription =
    "PC front panel of the KQ-VDR 1000 evaporative light-scattering detector: modes, methods, "
    "live readings, faults and the system test.";
const char* const kVendorUrl = "https://www.brackwater.com/kq-vdr-1000";
// The SiLA 2 version the served features are written against (their SiLA2Version), which
// discovery announces; the program's own version is SiLAService's ServerVersion.
const char* const kSilaVersion = "1.0";

constexpr std::size_t kMaxPemBytes = 1024 * 1024;

// Qt's, rather than gethostname(), which Windows answers only after WSAStartup.
std::string hostName() {
    return QSysInfo::machineHostName().toStdString();
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
    // Logins of the last moments are recorded too.
    recordLoginAudits();
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
    if (!loadUsers(line, settings, error)) {
        return false;
    }
    const bool announced = !remote::isLocalOnlyAddress(settings.address);

    server_ = std::make_unique<remote::SilaServer>(std::move(settings));
    // The first values are there before any client can ask.
    server_->publish(instrument_.liveValues());
    if (!server_->start(error)) {
        server_.reset();
        return false;
    }
    Heartbeat& heartbeat = session_.heartbeat();
    connect(&heartbeat, &Heartbeat::aboutToTick, this, [this] {
        // Before the commands: a client logs in or locks before it sends what it was let in for.
        recordLoginAudits();
        server_->takeCommands(instrument_);
    });
    connect(&heartbeat, &Heartbeat::ticked, this, [this, &heartbeat] {
        if (!heartbeat.inTick()) {
            instrument_.tickEnded();
        }
        // Nested ticks too: a fault dialog may stay open all night, and logins must not wait.
        recordLoginAudits();
        server_->publish(instrument_.liveValues());
        followLock();
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

bool SilaRemote::loadUsers(const CommandLine& line, remote::SilaServer::Settings& settings,
                           std::string& error) {
    remote::UserStore users(dataDir_);
    if (!users.load()) {
        error = users.error();
        return false;
    }
    settings.users = users.users();
    const bool localOnly = remote::isLocalOnlyAddress(settings.address);
    if (settings.users.empty() && !localOnly && !line.silaOpen) {
        error = "it would listen on " + settings.address +
                " with no users, so anyone who reaches the port would control the detector. Add "
                "a user first: kqvdr1000-control" +
                (line.programDir ? " --dir " + *line.programDir : std::string()) +
                " --sila-user add NAME --role operator (or serve without users with --sila-open)";
        return false;
    }
    if (line.silaOpen) {
        std::fprintf(stderr,
                     settings.users.empty()
                         ? "kqvdr1000-control: warning: --sila-open serves remote control on %s "
                           "without users: anyone who reaches the port controls the detector.\n"
                         : "kqvdr1000-control: warning: --sila-open given on %s, but users are "
                           "defined, so clients log in as always.\n",
                     settings.address.c_str());
    }
    if (line.silaClientCa) {
        const auto path = pathFromUtf8(*line.silaClientCa);
        std::string pem;
        std::string problem;
        if (const auto readError = readWholeFile(path, pem, kMaxPemBytes)) {
            error = "the client certificate authority " + *line.silaClientCa + " cannot be read (" +
                    readError.message() + ")";
            return false;
        }
        if (!certificateFromPem(pem, problem)) {
            error = "the client certificate authority " + *line.silaClientCa +
                    " holds no usable certificate: " + problem;
            return false;
        }
        settings.clientCertificateAuthority = pem;
    }
    settings.auditLogins = [this](const std::string& who, const AuditEvent& event) {
        queueLoginAudit(who, event);
    };
    settings.auditLock = settings.auditLogins;
    return true;
}

void SilaRemote::queueLoginAudit(const std::string& who, const AuditEvent& event) {
    const std::lock_guard lock(loginAuditMutex_);
    loginAudits_.emplace_back(who, event);
}

void SilaRemote::recordLoginAudits() {
    std::vector<std::pair<std::string, AuditEvent>> pending;
    {
        const std::lock_guard lock(loginAuditMutex_);
        pending.swap(loginAudits_);
    }
    if (pending.empty()) {
        return;
    }
    // A remote command may be acting right now (this tick runs inside it): it keeps its user.
    SessionRecords& records = session_.records();
    const std::string acting = records.actingUser();
    for (const auto& [who, event] : pending) {
        records.setActingUser(who);
        records.record(event);
    }
    records.setActingUser(acting);
}

void SilaRemote::announce() {
    discovery_.reset();
    announcedName_ = server_->serverName();
    discovery_ = std::make_unique<Discovery>(DiscoveryInfo{
        uuid_, server_->port(), kSilaVersion, announcedName_, kDescription, certificateAuthority_});
}

std::string SilaRemote::loggedIn() const {
    std::string text;
    for (const auto& session : server_->tokens().sessions()) {
        text += (text.empty() ? "" : ", ") + session.user + "@" + session.address + " (" +
                remote::roleName(session.role) + ")";
    }
    return text.empty() ? "nobody" : text;
}

std::optional<std::string> SilaRemote::lockHolder() const {
    return server_ ? server_->lock().holder() : std::nullopt;
}

void SilaRemote::followLock() {
    if (panel_ != nullptr) {
        panel_->setHolder(server_->lock().holder());
    }
}

bool SilaRemote::releaseLock() {
    const auto holder = server_ ? server_->lock().release() : std::nullopt;
    if (!holder) {
        return false;
    }
    // The lock's own events of the last moments come first, then the person's release.
    recordLoginAudits();
    session_.records().record(
        {AuditEventKind::RemoteUnlocked, *holder, "", "released at the panel"});
    followLock();
    return true;
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
        {"Logged in", loggedIn()},
        {"Locked by", server_->lock().holder().value_or("nobody")},
    };
}

} // namespace kqvdr
