#pragma once

#include <string>

namespace grpc {
class ServerContextBase;
}

namespace kqvdr::remote {

// Whose share a call counts against: the client's address for now. Once clients log in, the
// access token a call carries will name the client instead, so that clients behind one address
// (one PC, one gateway) each get their own share.
std::string clientKey(const grpc::ServerContextBase& context);

} // namespace kqvdr::remote
