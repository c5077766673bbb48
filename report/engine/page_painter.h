#pragma once
// Paints laid-out pages with QPainter: onto images (preview), a printer and PDF files.

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <cstddef>
#include <string>

#include "report/engine/page_model.h"

namespace dorvan::report {

// Paints one page of the document on a painter whose device has the given resolution (dots per
// inch); the paper's top-left corner is at the painter's origin. Text stays in the document's
// printable area (see text_placement.h).
void PaintPage(QPainter& painter, const PageDocument& document, std::size_t pageIndex, double dpi);

// The page as a white image at the resolution.
QImage RenderPageImage(const PageDocument& document, int pageIndex, double dpi);

// Prints every page on the printer (the document's title is the print job's name).
void PrintDocument(const PageDocument& document, QPrinter& printer);

// Writes the document as a PDF file; throws ReportIoError when the file cannot be written.
void WritePdf(const PageDocument& document, const std::string& path);

}  // namespace dorvan::report
