#pragma once

#include <vector>

namespace kqvdr {

// For every whole degree a heating or cooling curve passes, the first second at which the curve
// (to one decimal, truncated) reaches it; 0 for degrees it never reaches.
class ReferenceTable {
public:
    enum class Direction { Rising, Falling };

    ReferenceTable(int topIndex, double a, double b, double c, Direction direction);

    // Degrees outside 0 to the top index read the nearest end: no table reaches further.
    int secondsAt(int degree) const;
    int topIndex() const { return static_cast<int>(seconds_.size()) - 1; }

private:
    std::vector<int> seconds_;
};

// The four curves a healthy instrument's heaters follow.
struct ReferenceTables {
    ReferenceTables();

    ReferenceTable nebRise;
    ReferenceTable evapRise;
    ReferenceTable nebFall;
    ReferenceTable evapFall;
};

} // namespace kqvdr
