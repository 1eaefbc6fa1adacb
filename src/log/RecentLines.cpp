#include "RecentLines.h"

namespace kqvdr {

void RecentLines::store(const std::string& line) {
    if (resetPending_) {
        writeIndex_ = 0;
        oldestIndex_ = 0;
        lastLine_.clear();
        wrapped_ = false;
        resetPending_ = false;
    }
    if (writeIndex_ < kRecentLineCount) {
        lines_[static_cast<std::size_t>(writeIndex_)] = line;
        ++writeIndex_;
        if (wrapped_) {
            oldestIndex_ = writeIndex_;
        }
    } else {
        wrapped_ = true;
        lines_[0] = line;
        writeIndex_ = 1;
        oldestIndex_ = 1;
    }
    lastLine_ = line;
}

void RecentLines::prepareForNewLog() {
    if (resetPending_) {
        return;
    }
    for (std::string& line : lines_) {
        line.clear();
    }
    resetPending_ = true;
}

std::vector<std::string> RecentLines::oldestFirst() const {
    std::vector<std::string> ordered;
    const auto take = [&](int from, int to) {
        for (int i = from; i < to; ++i) {
            if (!line(i).empty()) {
                ordered.push_back(line(i));
            }
        }
    };
    // Unwrapped, the lines fill the ring from index 0 without gaps.
    take(oldestIndex_, kRecentLineCount);
    take(0, oldestIndex_);
    return ordered;
}

} // namespace kqvdr
