#pragma once
// The export-filter interface: a report run fed to a filter page by page. Positions are in
// tenths of a millimetre from the paper's top-left corner. The engine calls Start once, then
// for every page NewPage, the items of the page and EndPage, then Finish.

#include <QColor>
#include <QImage>
#include <string>

#include "report/engine/report_types.h"

namespace dorvan::report {

class ExportFilter {
  public:
    virtual ~ExportFilter();

    // Paper size in tenths of a millimetre and the report's base font.
    virtual void Start(double paperWidth, double paperLength, const FontSpec& baseFont) = 0;
    virtual void NewPage() = 0;
    // One line of printed text. X is the control's left edge for left alignment, its right
    // edge for right alignment and its centre for centred text; Y is the top of the line.
    virtual void TextOut(double x, double y, const FontSpec& font, const QColor& colour,
                         Alignment alignment, const std::string& text) = 0;
    virtual void EndPage() = 0;
    virtual void Finish() = 0;

    // Non-text items; filters that only take text ignore them.
    virtual void PictureOut(double x, double y, double width, double height, const QImage& image);
    virtual void ShapeOut(double x, double y, double width, double height);

    // Texts for an export-format chooser.
    virtual std::string Description() const = 0;
    virtual std::string FilterName() const = 0;
    virtual std::string Extension() const = 0;
};

}  // namespace dorvan::report
