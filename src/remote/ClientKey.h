#pragma once

#include "MetadataGate.h"

#include <string>

namespace grpc {
class ServerContextBase;
}

namespace kqvdr::remote {

// Whose share a call counts against: the session its access token names where the call was
// admitted with one, so that clients behind one address (one PC, one gateway) each get their
// own share; the client's address otherwise. A token the gate has not checked names nobody: a
// client could make up a new one for every stream.
std::string clientKey(const grpc::ServerContextBase& context,
                      const MetadataGate::Admission& admission);
std::string clientKey(const grpc::ServerContextBase& context);

// Who acts, as the records name the user of a remote command: "name@address" for a logged-in
// user, the client's address without users.
std::string actingUser(const MetadataGate::Admission& admission);

} // namespace kqvdr::remote
