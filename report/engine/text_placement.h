#pragma once
// Where the painter puts one line of text: inside its control's box when it fits; otherwise
// the line runs out of the box the way its alignment points (to the right of a left-aligned
// box, to the left of a right-aligned one, both ways from the centre of a centred one), as a
// label that sizes itself to its text does. Where that would leave the printable area, the
// line is drawn smaller, at the largest size that keeps it inside. No character is dropped.
// Pure geometry in millimetres; the plain-text grid has its own rules.

#include "report/engine/report_types.h"

namespace dorvan::report {

struct TextPlacement {
    double left = 0;   // left edge of the drawn text
    double scale = 1;  // size of the drawn text against the design size (at most 1)
    double width = 0;  // width of the drawn text (the text's width times the scale)
};

// `boxLeft`/`boxWidth`: the control's box; `textWidth`: the line's width at the design size;
// `areaLeft`/`areaRight`: the printable area. A box that itself reaches beyond the area keeps
// its whole width for the text. A box with no room at all (zero width at the area's edge)
// gets the text at its design size, aligned on the box.
TextPlacement PlaceTextLine(double boxLeft, double boxWidth, Alignment alignment, double textWidth,
                            double areaLeft, double areaRight);

}  // namespace dorvan::report
