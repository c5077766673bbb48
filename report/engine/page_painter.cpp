#include "report/engine/page_painter.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include "report/engine/report_error.h"
#include "report/engine/text_measurer.h"
#include "report/engine/text_placement.h"

namespace dorvan::report {

namespace {

constexpr double kMeasureDpi = 720;

class ItemPainter {
  public:
    // `areaLeft`/`areaRight`: the printable area, in millimetres from the paper's left edge.
    ItemPainter(QPainter& painter, double dpi, double areaLeft, double areaRight)
        : p_(painter), scale_(dpi / 25.4), dpi_(dpi), areaLeft_(areaLeft), areaRight_(areaRight) {}

    QPointF Pt(double x, double y) const { return {x * scale_, y * scale_}; }
    QRectF Rect(double l, double t, double w, double h) const {
        return {l * scale_, t * scale_, w * scale_, h * scale_};
    }

    void operator()(const TextRun& t) {
        QFont font = ToQFont(t.font);
        p_.setFont(font);
        p_.setPen(t.font.colour.isValid() ? t.font.colour : QColor(Qt::black));
        const QString text = QString::fromStdString(t.text);
        const QFontMetricsF metrics(font, p_.device());
        // A line wider than its box runs out of it the way its alignment points, and is
        // drawn smaller where it would otherwise leave the printable area.
        const TextPlacement at =
            PlaceTextLine(t.left, t.width, t.alignment, metrics.horizontalAdvance(text) / scale_,
                          areaLeft_, areaRight_);
        if (at.scale >= 1) {
            p_.drawText(Rect(at.left, t.top, at.width, t.height),
                        Qt::AlignTop | Qt::AlignLeft | Qt::TextSingleLine | Qt::TextDontClip, text);
            return;
        }
        // Smaller, on the line's own baseline.
        p_.save();
        p_.translate(at.left * scale_, t.top * scale_ + metrics.ascent());
        p_.scale(at.scale, at.scale);
        p_.drawText(QPointF(0, 0), text);
        p_.restore();
    }

    void operator()(const LineItem& l) {
        QPen pen(l.colour.isValid() ? l.colour : QColor(Qt::black));
        pen.setWidthF(std::max(l.width * scale_, 1.0));
        pen.setCapStyle(Qt::FlatCap);
        p_.setPen(pen);
        p_.drawLine(Pt(l.x1, l.y1), Pt(l.x2, l.y2));
    }

    void operator()(const RectItem& r) {
        if (r.pen.isValid()) {
            QPen pen(r.pen);
            pen.setWidthF(std::max(r.penWidth * scale_, 1.0));
            p_.setPen(pen);
        } else {
            p_.setPen(Qt::NoPen);
        }
        p_.setBrush(r.fill.isValid() ? QBrush(r.fill) : QBrush(Qt::NoBrush));
        if (r.ellipse)
            p_.drawEllipse(Rect(r.left, r.top, r.width, r.height));
        else
            p_.drawRect(Rect(r.left, r.top, r.width, r.height));
        p_.setBrush(Qt::NoBrush);
    }

    void operator()(const PictureItem& pi) {
        const QRectF box = Rect(pi.left, pi.top, pi.width, pi.height);
        if (pi.stretch) {
            p_.drawImage(box, pi.image);
            return;
        }
        // At its own size (96 dpi), clipped to the box.
        const double factor = dpi_ / 96.0;
        const QRectF natural(box.topLeft(),
                             QSizeF(pi.image.width() * factor, pi.image.height() * factor));
        p_.save();
        p_.setClipRect(box);
        p_.drawImage(natural, pi.image);
        p_.restore();
    }

    void operator()(const RichTextItem& r) {
        QImage device(1, 1, QImage::Format_ARGB32);
        const int dpm = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
        device.setDotsPerMeterX(dpm);
        device.setDotsPerMeterY(dpm);
        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&device);
        doc.setDefaultFont(ToQFont(r.font));
        doc.setDocumentMargin(0);
        doc.setHtml(r.html);
        doc.setTextWidth(r.width / 25.4 * kMeasureDpi);
        p_.save();
        p_.translate(Pt(r.left, r.top));
        p_.scale(dpi_ / kMeasureDpi, dpi_ / kMeasureDpi);
        doc.drawContents(&p_);
        p_.restore();
    }

  private:
    QPainter& p_;
    double scale_;
    double dpi_;
    double areaLeft_;
    double areaRight_;
};

}  // namespace

void PaintPage(QPainter& painter, const PageDocument& document, std::size_t pageIndex, double dpi) {
    if (pageIndex >= document.pages.size())
        return;
    const Page& page = document.pages[pageIndex];
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    ItemPainter itemPainter(painter, dpi, document.margins.left,
                            document.paperWidth - document.margins.right);
    for (const PageItem& item : page.items)
        std::visit(itemPainter, item);
    painter.restore();
}

QImage RenderPageImage(const PageDocument& document, int pageIndex, double dpi) {
    const int w = static_cast<int>(document.paperWidth / 25.4 * dpi + 0.5);
    const int h = static_cast<int>(document.paperHeight / 25.4 * dpi + 0.5);
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    const int dpm = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    if (pageIndex >= 0 && pageIndex < static_cast<int>(document.pages.size())) {
        QPainter painter(&image);
        PaintPage(painter, document, static_cast<std::size_t>(pageIndex), dpi);
    }
    return image;
}

namespace {

QPageSize PaperOf(const PageDocument& document) {
    return QPageSize(QSizeF(document.paperWidth, document.paperHeight), QPageSize::Millimeter,
                     QString(), QPageSize::FuzzyMatch);
}

template <typename Device>
void PaintAll(const PageDocument& document, Device& device, double dpi) {
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportIoError("cannot start painting the report");
    for (std::size_t i = 0; i < document.pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        PaintPage(painter, document, i, dpi);
    }
    painter.end();
}

}  // namespace

void PrintDocument(const PageDocument& document, QPrinter& printer) {
    printer.setDocName(QString::fromStdString(document.title));
    printer.setPageSize(PaperOf(document));
    printer.setPageOrientation(document.paperWidth > document.paperHeight ? QPageLayout::Landscape
                                                                          : QPageLayout::Portrait);
    printer.setFullPage(true);
    PaintAll(document, printer, printer.resolution());
}

void WritePdf(const PageDocument& document, const std::string& path) {
    {
        QFile probe(QString::fromStdString(path));
        if (!probe.open(QIODevice::WriteOnly))
            throw ReportIoError("cannot write " + path);
    }
    QPdfWriter writer(QString::fromStdString(path));
    writer.setTitle(QString::fromStdString(document.title));
    writer.setCreator(QStringLiteral("Dorvan"));
    writer.setResolution(600);
    writer.setPageLayout(QPageLayout(PaperOf(document), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    PaintAll(document, writer, writer.resolution());
}

}  // namespace dorvan::report
