#include "FloodBreaker.h"

#include <algorithm>

namespace kqvdr::remote {

std::optional<std::uint64_t> FloodBreaker::look(std::size_t residentBytes,
                                                std::map<std::uint64_t, std::uint64_t> received) {
    resident_.push_back(residentBytes);
    if (resident_.size() > kWindowLooks) {
        resident_.pop_front();
    }
    const std::size_t least = *std::min_element(resident_.begin(), resident_.end());
    const std::size_t growth = looks_++ < kSettleLooks ? 0 : residentBytes - least;
    std::optional<std::uint64_t> blamed;
    if (growth >= kFloodGrowthBytes && !previous_.empty() && growingLookAfterLook()) {
        std::uint64_t most = 0;
        for (const auto& [inode, bytes] : received) {
            const auto before = previous_.find(inode);
            // A connection new since the last look has sent all it shows meanwhile.
            const std::uint64_t sent = before == previous_.end() || before->second > bytes
                                           ? bytes
                                           : bytes - before->second;
            if (sent >= kLeastFloodBytes && sent > most) {
                most = sent;
                blamed = inode;
            }
        }
        if (blamed) {
            // Growth from here on is measured afresh: what the cut flood left is not another's.
            resident_.assign(1, residentBytes);
        }
    }
    previous_ = std::move(received);
    watching_ = growth >= kFloodGrowthBytes / 2 && !blamed;
    if (!watching_) {
        previous_.clear();
    }
    return blamed;
}

bool FloodBreaker::growingLookAfterLook() const {
    if (resident_.size() <= kSustainedLooks) {
        return false;
    }
    for (std::size_t step = resident_.size() - kSustainedLooks; step < resident_.size(); ++step) {
        if (resident_[step] < resident_[step - 1] + kSustainedStepBytes) {
            return false;
        }
    }
    return true;
}

} // namespace kqvdr::remote
