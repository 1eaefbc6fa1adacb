#include "CPrintTable.h"

#include <numeric>

namespace kqvdr {

std::vector<double> CPrintTable::fittedWidths() const {
    std::vector<double> fitted = widths;
    if (!fitted.empty()) {
        const double others = std::accumulate(fitted.begin(), fitted.end() - 1, 0.0);
        fitted.back() = std::max(0.0, (right - left) - others);
    }
    return fitted;
}

QString CPrintTable::title(int column) const {
    const auto index = static_cast<std::size_t>(column);
    if (index < titles.size() && !titles[index].isEmpty()) {
        return titles[index];
    }
    return QStringLiteral("Col %1").arg(column + 1);
}

} // namespace kqvdr
