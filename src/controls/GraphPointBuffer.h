#pragma once

#include <cstddef>
#include <vector>

namespace kqvdr {

struct GraphPoint {
    double x = 0.0;
    float y = 0.0f;
    // Drawn with a line from the point before it; false starts a new stretch of line.
    bool joined = true;
};

// The points of a history plot, oldest first. The program clears its plot every minute, but the
// buffer does not rely on that: past its capacity the oldest points make room for new ones.
class GraphPointBuffer {
public:
    static constexpr std::size_t kDefaultCapacity = 4096;

    explicit GraphPointBuffer(std::size_t capacity = kDefaultCapacity);

    // The first point after a clear sits at x = 0; each later one xIncrement further on (a
    // non-finite increment counts as 0). A flag of 0 lifts the pen before the point.
    void append(float y, double xIncrement, unsigned char flag);
    void clear();

    std::size_t size() const { return count_; }
    std::size_t capacity() const { return points_.size(); }
    bool empty() const { return count_ == 0; }
    // i = 0 is the oldest point held.
    const GraphPoint& at(std::size_t i) const;
    const GraphPoint& last() const { return at(count_ - 1); }

private:
    std::vector<GraphPoint> points_;
    std::size_t first_ = 0;
    std::size_t count_ = 0;
};

} // namespace kqvdr
