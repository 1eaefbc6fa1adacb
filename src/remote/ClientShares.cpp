#include "ClientShares.h"

namespace kqvdr::remote {

ClientShares::Take ClientShares::take(const std::string& client) {
    if (held_ >= most_) {
        return Take::PoolFull;
    }
    std::size_t& mine = byClient_[client];
    if (mine >= share_) {
        return Take::ShareFull;
    }
    ++mine;
    ++held_;
    return Take::Taken;
}

void ClientShares::give(const std::string& client) {
    const auto found = byClient_.find(client);
    if (found == byClient_.end() || found->second == 0) {
        return;
    }
    --held_;
    // Clients come and go: an address that holds nothing is not kept.
    if (--found->second == 0) {
        byClient_.erase(found);
    }
}

std::size_t ClientShares::heldBy(const std::string& client) const {
    const auto found = byClient_.find(client);
    return found == byClient_.end() ? 0 : found->second;
}

} // namespace kqvdr::remote
