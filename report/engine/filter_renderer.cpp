#include "report/engine/filter_renderer.h"

namespace dorvan::report {

namespace {
constexpr double kTenths = 10.0;
}

void ExportToFilter(const PageDocument& document, ExportFilter& filter) {
    filter.Start(document.paperWidth * kTenths, document.paperHeight * kTenths, document.baseFont);
    for (const Page& page : document.pages) {
        filter.NewPage();
        for (const PageItem& item : page.items) {
            if (const auto* text = std::get_if<TextRun>(&item)) {
                filter.TextOut(text->AnchorX() * kTenths, text->top * kTenths, text->font,
                               text->font.colour, text->alignment, text->text);
            } else if (const auto* picture = std::get_if<PictureItem>(&item)) {
                filter.PictureOut(picture->left * kTenths, picture->top * kTenths,
                                  picture->width * kTenths, picture->height * kTenths,
                                  picture->image);
            } else if (const auto* line = std::get_if<LineItem>(&item)) {
                filter.ShapeOut(line->x1 * kTenths, line->y1 * kTenths,
                                (line->x2 - line->x1) * kTenths, (line->y2 - line->y1) * kTenths);
            } else if (const auto* rect = std::get_if<RectItem>(&item)) {
                filter.ShapeOut(rect->left * kTenths, rect->top * kTenths, rect->width * kTenths,
                                rect->height * kTenths);
            } else if (const auto* rich = std::get_if<RichTextItem>(&item)) {
                filter.ShapeOut(rich->left * kTenths, rich->top * kTenths, rich->width * kTenths,
                                rich->height * kTenths);
            }
        }
        filter.EndPage();
    }
    filter.Finish();
}

}  // namespace dorvan::report
