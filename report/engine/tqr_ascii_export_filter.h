#pragma once
// The plain-text export for dot-matrix printers without a driver: every printed line of
// text is placed into a character grid per page; each page's non-empty rows are written
// to the file in Windows-1250 with CR LF line ends. Pictures, lines and frames give nothing.

#include <array>
#include <fstream>
#include <string>

#include "report/engine/ascii_grid.h"
#include "report/engine/export_filter.h"

namespace dorvan::report {

class TQRAsciiExportFilter : public ExportFilter {
  public:
    explicit TQRAsciiExportFilter(std::string fileName);

    // Opens (and truncates) the file at the first start only: a second export through the
    // same object appends to the file it already has open.
    void Start(double paperWidth, double paperLength, const FontSpec& baseFont) override;
    void NewPage() override;
    void TextOut(double x, double y, const FontSpec& font, const QColor& colour,
                 Alignment alignment, const std::string& text) override;
    void EndPage() override;
    void Finish() override;

    std::string Description() const override { return "Text export (ASCII) filter"; }
    std::string FilterName() const override { return "Text file"; }
    std::string Extension() const override { return "TXT"; }

    const AsciiGridGeometry& Geometry() const { return geometry_; }
    // The current page's grid row (UTF-8), for inspection.
    std::string Line(int row) const;

  private:
    void ThrowIfFailed(const char* operation) const;

    std::string fileName_;
    std::ofstream file_;
    std::array<std::u32string, kAsciiGridRows> lines_;
    AsciiGridGeometry geometry_;
};

}  // namespace dorvan::report
