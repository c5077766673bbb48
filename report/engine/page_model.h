#pragma once
// The laid-out report: pages of positioned items in millimetres from the paper's top-left
// corner. Layout produces it; the painter renderer and the export filters consume it.

#include <QColor>
#include <QImage>
#include <QString>
#include <string>
#include <variant>
#include <vector>

#include "report/engine/report_types.h"

namespace dorvan::report {

// One line of printed text in the box of its control (the box is one line high).
struct TextRun {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    Alignment alignment = Alignment::Left;
    FontSpec font;
    std::string text;
    std::string controlName;

    // Where the line is anchored: left edge, right edge or centre of the box.
    double AnchorX() const {
        switch (alignment) {
            case Alignment::Right:
                return left + width;
            case Alignment::Center:
                return left + width / 2;
            case Alignment::Left:
                break;
        }
        return left;
    }
};

struct LineItem {
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    double width = 0.26;
    QColor colour = QColor(Qt::black);
};

// A filled and/or outlined rectangle or ellipse (band backgrounds, shapes).
struct RectItem {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    QColor fill;  // invalid: not filled
    QColor pen;   // invalid: no outline
    double penWidth = 0.26;
    bool ellipse = false;
};

struct PictureItem {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    QImage image;
    bool stretch = true;  // otherwise drawn at its own size (96 dpi), clipped to the box
};

struct RichTextItem {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
    QString html;
    FontSpec font;
};

using PageItem = std::variant<TextRun, LineItem, RectItem, PictureItem, RichTextItem>;

struct Page {
    int number = 0;
    std::vector<PageItem> items;
};

struct PageDocument {
    std::string title;
    // The name proposed for a file of the document (without folder and extension, for
    // example the document number); empty: the title.
    std::string fileName;
    double paperWidth = 210;
    double paperHeight = 297;
    // The printable area lies inside these paper margins; the painter keeps text in it.
    Margins margins;
    FontSpec baseFont;
    std::vector<Page> pages;
};

}  // namespace dorvan::report
