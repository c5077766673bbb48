#include "report/engine/text_placement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace dorvan::report {
namespace {

// The printable area of an A4 page with 10 mm margins: 10 to 200 mm.
constexpr double kAreaLeft = 10;
constexpr double kAreaRight = 200;

TEST(PlaceTextLine, FitsGrowsTheWayItsAlignmentPointsThenShrinks) {
    struct Case {
        const char* name;
        double boxLeft;
        double boxWidth;
        Alignment alignment;
        double textWidth;
        double left;   // expected left edge of the drawn text
        double scale;  // expected size factor
    };
    static constexpr Case kCases[] = {
        // A text that fits stays where its alignment puts it in the box.
        {"left fits", 50, 30, Alignment::Left, 20, 50, 1},
        {"right fits", 50, 30, Alignment::Right, 20, 60, 1},
        {"centre fits", 50, 30, Alignment::Center, 20, 55, 1},
        {"exactly the box", 50, 30, Alignment::Right, 30, 50, 1},
        // Wider than the box: it runs out of the box as an auto-sizing label does.
        {"left runs right", 126.2, 10.1, Alignment::Left, 18, 126.2, 1},
        {"right runs left", 50, 30, Alignment::Right, 35, 45, 1},
        {"centre runs both ways", 50, 30, Alignment::Center, 40, 45, 1},
        // Up to the printable area's edge at full size.
        {"left up to the edge", 150, 10, Alignment::Left, 50, 150, 1},
        {"right up to the edge", 11.1, 94.5, Alignment::Right, 95.6, 10, 1},
        // Beyond the edge: the largest smaller size that keeps it inside.
        {"left shrinks at the right edge", 150, 10, Alignment::Left, 100, 150, 0.5},
        {"right shrinks at the left edge", 11.1, 94.5, Alignment::Right, 191.2, 10, 0.5},
        {"centre shrinks at the nearer edge", 20, 20, Alignment::Center, 80, 10, 0.5},
        {"centre of the page", 10, 190, Alignment::Center, 380, 10, 0.5},
        // A box that itself reaches beyond the area keeps its whole width for the text.
        {"box past the right edge", 190, 20, Alignment::Left, 15, 190, 1},
        {"box past the left edge", 5, 20, Alignment::Right, 30, 5, 20.0 / 30},
        {"centred box past the edge", 10, 190.8, Alignment::Center, 200, 10, 190.8 / 200},
        // A box without any room keeps the design size.
        {"no room", 10, 0, Alignment::Right, 20, -10, 1},
        {"empty text", 50, 30, Alignment::Right, 0, 80, 1},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const TextPlacement at =
            PlaceTextLine(c.boxLeft, c.boxWidth, c.alignment, c.textWidth, kAreaLeft, kAreaRight);
        EXPECT_NEAR(at.left, c.left, 1e-9);
        EXPECT_NEAR(at.scale, c.scale, 1e-9);
        EXPECT_NEAR(at.width, c.textWidth * c.scale, 1e-9);
        EXPECT_LE(at.scale, 1.0);
        // Whatever had to give, the text never ends inside less than the room it was given.
        if (c.textWidth > c.boxWidth && c.boxWidth > 0) {
            EXPECT_GE(at.left, std::min(c.boxLeft, kAreaLeft) - 1e-9);
            EXPECT_LE(at.left + at.width, std::max(c.boxLeft + c.boxWidth, kAreaRight) + 1e-9);
        }
    }
}

}  // namespace
}  // namespace dorvan::report
