#pragma once
// Placement of printed text into the character grid of the plain-text export. Pure
// functions, tested alone.

#include <string>

#include "report/engine/report_types.h"

namespace dorvan::report {

// Tenths of a millimetre per point.
inline constexpr double kTenthMmPerPoint = 3.5277777777777777;
// Columns are this many times narrower than a cell.
inline constexpr double kColumnDivisor = 1.7;
// The grid has rows 0 to 200.
inline constexpr int kAsciiGridRows = 201;
// Texts starting further right than this are not placed (no printer line is that long).
inline constexpr double kAsciiGridMaxColumn = 1000;

struct AsciiGridGeometry {
    double cellWidth = 0;   // tenths of mm; a column is cellWidth / 1.7 wide
    double cellHeight = 0;  // tenths of mm
    int rowCount = 0;       // rows written per page
};

// Cell sizes from the base font's point size; the row count is the paper length in cells,
// rounded to the nearest integer.
AsciiGridGeometry ComputeAsciiGridGeometry(double paperLength, double fontSize);

// Column where a text of `length` characters starts (may be fractional or negative).
double AsciiGridColumn(double x, Alignment alignment, std::size_t length,
                       const AsciiGridGeometry& geometry);
// Row index of a text whose top is at y: rounded to the nearest integer, halves up; -1 for
// positions outside the grid (above the paper, below row 200, not a number).
long AsciiGridRow(double y, const AsciiGridGeometry& geometry);

// Rounds halves to the even neighbour.
long RoundHalfEven(double value);

// Writes `text` into `row` starting at the (fractional) column: pads the row with spaces up
// to the start column, then replaces as many characters as the text has and inserts the
// text there, so a later text overwrites an earlier one character for character.
void PlaceInAsciiRow(std::u32string& row, double column, std::u32string_view text);

}  // namespace dorvan::report
