#include "report/engine/ascii_grid.h"

#include <cmath>

namespace dorvan::report {

AsciiGridGeometry ComputeAsciiGridGeometry(double paperLength, double fontSize) {
    AsciiGridGeometry g;
    g.cellHeight = fontSize * kTenthMmPerPoint;
    g.cellWidth = fontSize * kTenthMmPerPoint;
    g.rowCount = static_cast<int>(std::lround(paperLength / g.cellHeight));
    return g;
}

double AsciiGridColumn(double x, Alignment alignment, std::size_t length,
                       const AsciiGridGeometry& geometry) {
    double q = x / geometry.cellWidth * kColumnDivisor;
    if (alignment == Alignment::Right)
        q -= static_cast<double>(length);
    return q;
}

long AsciiGridRow(double y, const AsciiGridGeometry& geometry) {
    const double row = std::floor(y / geometry.cellHeight + 0.5);
    if (!std::isfinite(row) || row < 0 || row >= kAsciiGridRows)
        return -1;
    return static_cast<long>(row);
}

long RoundHalfEven(double value) {
    return static_cast<long>(std::nearbyint(value));
}

void PlaceInAsciiRow(std::u32string& row, double column, std::u32string_view text) {
    if (column > static_cast<double>(row.size())) {
        const long width = RoundHalfEven(column);
        if (width > static_cast<long>(row.size()))
            row.append(static_cast<std::size_t>(width) - row.size(), U' ');
    }
    const long p = RoundHalfEven(column);  // 1-based position
    if (p >= 1 && p <= static_cast<long>(row.size()))
        row.erase(static_cast<std::size_t>(p - 1), text.size());
    std::size_t at = 0;
    if (p >= 1)
        at = std::min(static_cast<std::size_t>(p - 1), row.size());
    row.insert(at, text);
}

}  // namespace dorvan::report
