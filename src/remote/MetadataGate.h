#pragma once

#include "SilaFailure.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace grpc {
class ServerContext;
}

namespace kqvdr::remote {

// SiLA client metadata, checked before anything else a call does. A feature that defines a
// metadata declares it here, with the features, commands and properties it affects and a
// validator; every command and property call then passes `admit` first, so a missing or
// unreadable metadata is refused before the parameters are looked at, and SiLAService calls
// carry none at all.
//
// Declarations are made before the server starts and never change afterwards, so the gRPC
// threads read them without a lock.
class MetadataGate {
public:
    // What validators learned about the caller (who it is, which lock it holds), under names of
    // their own choosing, for the call to use. Admitting a gRPC call puts its peer ("ipv4:...")
    // under "peer" before any validator runs.
    struct Admission {
        std::map<std::string, std::string, std::less<>> facts;
    };
    // Judges a metadata's value for a call (its fully qualified command or property
    // identifier): the serialised Metadata_<Identifier> message, as the client sent it. Nothing
    // when the call may go on.
    using Validator =
        std::function<Outcome(std::string_view call, std::string_view value, Admission& admission)>;
    // Judges a call that did not send the metadata, for one needed only at times (a lock's
    // identifier while the server is locked). Nothing when the call may go on.
    using AbsenceValidator = std::function<Outcome(std::string_view call, Admission& admission)>;
    struct Declaration {
        std::string identifier;           // fully qualified, ".../Metadata/<Identifier>"
        std::vector<std::string> affects; // fully qualified features, commands and properties
        Validator validate;
        // Without it, a call that does not send the metadata is refused as Invalid Metadata.
        AbsenceValidator absent = {};
    };
    // The call's request headers, keys in lower case as gRPC delivers them.
    using Headers = std::vector<std::pair<std::string_view, std::string_view>>;

    void declare(Declaration declaration);

    // What Get_FCPAffectedByMetadata_<Identifier> answers; empty for an undeclared metadata.
    std::vector<std::string> affectedBy(std::string_view metadataIdentifier) const;

    // Nothing when the call (its fully qualified command or property identifier) may go on.
    Outcome admit(std::string_view call, const Headers& headers, Admission& admission) const;
    Outcome admit(const grpc::ServerContext& context, std::string_view call,
                  Admission& admission) const;
    Outcome admit(const grpc::ServerContext& context, std::string_view call) const;

    // The header that carries a metadata: "sila-", the identifier with '/' as '-' in lower
    // case, "-bin".
    static std::string headerKey(std::string_view metadataIdentifier);

private:
    std::vector<Declaration> declarations_;
};

// The text of a metadata whose data type is String; nothing when the bytes are not such a
// Metadata_<Identifier> message.
std::optional<std::string> stringMetadataValue(std::string_view bytes);

} // namespace kqvdr::remote
