#include "report/engine/tqr_ascii_export_filter.h"

#include <cmath>

#include "report/engine/report_error.h"
#include "report/engine/utf8.h"
#include "report/engine/windows1250.h"

namespace dorvan::report {

TQRAsciiExportFilter::TQRAsciiExportFilter(std::string fileName) : fileName_(std::move(fileName)) {}

void TQRAsciiExportFilter::Start(double /*paperWidth*/, double paperLength,
                                 const FontSpec& baseFont) {
    if (!(baseFont.size > 0) || !(paperLength > 0))
        throw ReportError("a text export needs a positive base font size and paper length");
    if (geometry_.rowCount == 0) {
        file_.open(fileName_, std::ios::binary | std::ios::out | std::ios::trunc);
        ThrowIfFailed("create");
    }
    geometry_ = ComputeAsciiGridGeometry(paperLength, baseFont.size);
}

void TQRAsciiExportFilter::NewPage() {
    for (auto& line : lines_)
        line.clear();
}

void TQRAsciiExportFilter::TextOut(double x, double y, const FontSpec& /*font*/,
                                   const QColor& /*colour*/, Alignment alignment,
                                   const std::string& text) {
    if (geometry_.cellHeight <= 0)
        throw ReportError("text export: text out before start");
    const std::u32string chars = Utf8ToCodePoints(text);
    const double column = AsciiGridColumn(x, alignment, chars.size(), geometry_);
    const long row = AsciiGridRow(y, geometry_);
    // Rows outside the grid (above the paper or below row 200) and texts beyond any printer
    // line cannot be printed.
    if (row < 0 || !std::isfinite(column) || column > kAsciiGridMaxColumn)
        return;
    PlaceInAsciiRow(lines_[static_cast<std::size_t>(row)], column, chars);
}

void TQRAsciiExportFilter::EndPage() {
    const int rows = std::min(geometry_.rowCount, kAsciiGridRows);
    for (int i = 0; i < rows; ++i) {
        const auto& line = lines_[static_cast<std::size_t>(i)];
        if (line.empty())
            continue;
        file_ << CodePointsToWindows1250(line) << "\r\n";
    }
    file_.flush();
    ThrowIfFailed("write");
}

void TQRAsciiExportFilter::Finish() {
    if (file_.is_open()) {
        file_.close();
        ThrowIfFailed("close");
    }
}

std::string TQRAsciiExportFilter::Line(int row) const {
    if (row < 0 || row >= kAsciiGridRows)
        return {};
    return CodePointsToUtf8(lines_[static_cast<std::size_t>(row)]);
}

void TQRAsciiExportFilter::ThrowIfFailed(const char* operation) const {
    if (file_.fail())
        throw ReportIoError(std::string("cannot ") + operation + " " + fileName_);
}

}  // namespace dorvan::report
