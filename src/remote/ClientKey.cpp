#include "ClientKey.h"

#include "AccessTokenMetadata.h"
#include "PeerAddress.h"

#include <grpcpp/server_context.h>

namespace kqvdr::remote {
namespace {

std::string_view fact(const MetadataGate::Admission& admission, std::string_view name) {
    const auto found = admission.facts.find(name);
    return found == admission.facts.end() ? std::string_view() : std::string_view(found->second);
}

} // namespace

std::string clientKey(const grpc::ServerContextBase& context,
                      const MetadataGate::Admission& admission) {
    if (const std::string_view session = fact(admission, kSessionFact); !session.empty()) {
        return "session " + std::string(session);
    }
    return clientKey(context);
}

std::string clientKey(const grpc::ServerContextBase& context) {
    return "address " + peerAddress(context.peer());
}

std::string actingUser(const MetadataGate::Admission& admission) {
    const std::string address = peerAddress(fact(admission, "peer"));
    if (const std::string_view user = fact(admission, kUserFact); !user.empty()) {
        return std::string(user) + "@" + address;
    }
    return address;
}

} // namespace kqvdr::remote
