#pragma once

#include <array>
#include <string>
#include <vector>

namespace kqvdr {

inline constexpr int kRecentLineCount = 120;

// The last 120 display lines of the log, in a ring that the viewer reads. A log start empties it
// but leaves the indices until the first line of the new log, so a viewer opened in between
// still finds the old order.
class RecentLines {
public:
    void store(const std::string& line);
    // Starting a log: unless a reset is already pending, empty every line and reset the indices
    // at the next store.
    void prepareForNewLog();

    const std::string& line(int index) const { return lines_[static_cast<std::size_t>(index)]; }
    const std::string& lastLine() const { return lastLine_; }
    int writeIndex() const { return writeIndex_; }
    bool wrapped() const { return wrapped_; }
    int oldestIndex() const { return oldestIndex_; }
    bool resetPending() const { return resetPending_; }

    // What the viewer lists when it opens, oldest first. Empty entries (a log started but not
    // yet written to) are left out rather than shown as blank rows.
    std::vector<std::string> oldestFirst() const;

private:
    std::array<std::string, kRecentLineCount> lines_{};
    int writeIndex_ = 0;
    bool wrapped_ = false;
    int oldestIndex_ = 0;
    std::string lastLine_;
    bool resetPending_ = false;
};

} // namespace kqvdr
