#include "GraphPointBuffer.h"

#include <algorithm>
#include <cmath>

namespace kqvdr {

GraphPointBuffer::GraphPointBuffer(std::size_t capacity)
    : points_(std::max<std::size_t>(capacity, 1)) {}

void GraphPointBuffer::append(float y, double xIncrement, unsigned char flag) {
    GraphPoint point;
    point.y = y;
    point.joined = flag != 0;
    if (count_ > 0) {
        point.x = last().x + (std::isfinite(xIncrement) ? xIncrement : 0.0);
    }
    if (count_ < points_.size()) {
        points_[(first_ + count_) % points_.size()] = point;
        ++count_;
    } else {
        points_[first_] = point;
        first_ = (first_ + 1) % points_.size();
    }
}

void GraphPointBuffer::clear() {
    first_ = 0;
    count_ = 0;
}

const GraphPoint& GraphPointBuffer::at(std::size_t i) const {
    return points_[(first_ + i) % points_.size()];
}

} // namespace kqvdr
