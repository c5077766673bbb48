#include "report/engine/text_placement.h"

#include <algorithm>

namespace dorvan::report {

namespace {

// Where the aligned text starts when drawn at `width`.
double AlignedLeft(double boxLeft, double boxWidth, Alignment alignment, double width) {
    switch (alignment) {
        case Alignment::Right:
            return boxLeft + boxWidth - width;
        case Alignment::Center:
            return boxLeft + (boxWidth - width) / 2;
        case Alignment::Left:
            break;
    }
    return boxLeft;
}

}  // namespace

TextPlacement PlaceTextLine(double boxLeft, double boxWidth, Alignment alignment, double textWidth,
                            double areaLeft, double areaRight) {
    boxWidth = std::max(boxWidth, 0.0);
    textWidth = std::max(textWidth, 0.0);
    TextPlacement at{AlignedLeft(boxLeft, boxWidth, alignment, textWidth), 1, textWidth};
    if (textWidth <= boxWidth)
        return at;

    // The room the line may take: the box, widened up to the printable area's edges the
    // way the alignment points.
    const double boxRight = boxLeft + boxWidth;
    const double lo = std::min(boxLeft, areaLeft);
    const double hi = std::max(boxRight, areaRight);
    double room = 0;
    switch (alignment) {
        case Alignment::Left:
            room = hi - boxLeft;
            break;
        case Alignment::Right:
            room = boxRight - lo;
            break;
        case Alignment::Center: {
            const double centre = boxLeft + boxWidth / 2;
            room = 2 * std::min(centre - lo, hi - centre);
            break;
        }
    }
    if (textWidth <= room || room <= 0)
        return at;
    at.scale = room / textWidth;
    at.width = room;
    at.left = AlignedLeft(boxLeft, boxWidth, alignment, room);
    return at;
}

}  // namespace dorvan::report
