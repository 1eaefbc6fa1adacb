#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace kqvdr::remote {

// Counts what clients hold of a pool: no more than `most` in all, and no more than `share` for
// any one client, so that one client holding many cannot lock the others out.
class ClientShares {
public:
    enum class Take { Taken, PoolFull, ShareFull };

    ClientShares(std::size_t most, std::size_t share) : most_(most), share_(share) {}

    Take take(const std::string& client);
    // Gives back one that `client` took.
    void give(const std::string& client);

    std::size_t held() const { return held_; }
    std::size_t heldBy(const std::string& client) const;
    std::size_t most() const { return most_; }
    std::size_t share() const { return share_; }

private:
    std::size_t most_;
    std::size_t share_;
    std::size_t held_ = 0;
    std::map<std::string, std::size_t> byClient_;
};

} // namespace kqvdr::remote
