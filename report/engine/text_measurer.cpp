#include "report/engine/text_measurer.h"

#include <QAbstractTextDocumentLayout>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QRegularExpression>
#include <QTextDocument>
#include <mutex>

namespace dorvan::report {

namespace {

constexpr double kMeasureDpi = 720;
constexpr double kMmPerMeasurePx = 25.4 / kMeasureDpi;

// The device text is measured on: 720 dots per inch.
QImage& MeasureDevice() {
    static QImage image = [] {
        QImage img(1, 1, QImage::Format_ARGB32);
        const int dpm = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
        img.setDotsPerMeterX(dpm);
        img.setDotsPerMeterY(dpm);
        return img;
    }();
    return image;
}

}  // namespace

void EnsureFontSubstitutes() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont arial(QStringLiteral("Arial"));
        if (QFontInfo(arial).family() != QStringLiteral("Liberation Sans"))
            QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    });
}

QFont ToQFont(const FontSpec& spec) {
    EnsureFontSubstitutes();
    QFont font(QString::fromStdString(spec.family));
    font.setPointSizeF(spec.size > 0 ? spec.size : 10);
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setKerning(true);
    return font;
}

const TextMeasurer::Metrics& TextMeasurer::MetricsOf(const FontSpec& font) {
    const auto key =
        std::make_tuple(font.family, font.size, font.bold, font.italic, font.underline);
    auto it = cache_.find(key);
    if (it == cache_.end()) {
        Metrics m;
        m.font = ToQFont(font);
        m.metrics.emplace(m.font, &MeasureDevice());
        m.lineHeight = m.metrics->height() * kMmPerMeasurePx;
        m.lineSpacing = m.metrics->lineSpacing() * kMmPerMeasurePx;
        it = cache_.emplace(key, std::move(m)).first;
    }
    return it->second;
}

double TextMeasurer::Width(const FontSpec& font, const std::string& text) {
    const QFontMetricsF& fm = *MetricsOf(font).metrics;
    return fm.horizontalAdvance(QString::fromStdString(text)) * kMmPerMeasurePx;
}

double TextMeasurer::LineHeight(const FontSpec& font) {
    return MetricsOf(font).lineHeight;
}

double TextMeasurer::LineSpacing(const FontSpec& font) {
    return MetricsOf(font).lineSpacing;
}

std::vector<std::string> TextMeasurer::Lines(const FontSpec& font, const std::string& text,
                                             double width, bool wrap) {
    static const QRegularExpression kBreaks(QStringLiteral("\r\n|\r|\n"));
    if (!wrap && text.find_first_of("\r\n") == std::string::npos)
        return {text};
    const QStringList paragraphs = QString::fromStdString(text).split(kBreaks);
    std::vector<std::string> out;
    if (!wrap || width <= 0) {
        for (const QString& p : paragraphs)
            out.push_back(p.toStdString());
        return out;
    }
    const QFontMetricsF& fm = *MetricsOf(font).metrics;
    const double limit = width / kMmPerMeasurePx + 0.01;
    for (const QString& paragraph : paragraphs) {
        if (fm.horizontalAdvance(paragraph) <= limit) {
            out.push_back(paragraph.toStdString());
            continue;
        }
        QString line;
        const std::size_t first = out.size();
        const QStringList words = paragraph.split(QChar(' '));
        for (const QString& word : words) {
            const QString candidate = line.isEmpty() ? word : line + QChar(' ') + word;
            if (fm.horizontalAdvance(candidate) <= limit || (line.isEmpty() && word.isEmpty())) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty()) {
                out.push_back(line.toStdString());
                line.clear();
            }
            // A word wider than the box keeps its characters together on a line of its own:
            // the painter lets it run out of the box (text_placement.h).
            if (fm.horizontalAdvance(word) > limit) {
                out.push_back(word.toStdString());
                continue;
            }
            line = word;
        }
        if (!line.isEmpty() || out.size() == first)
            out.push_back(line.toStdString());
    }
    return out;
}

double TextMeasurer::RichTextHeight(const QString& html, const FontSpec& font, double width) {
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&MeasureDevice());
    doc.setDefaultFont(MetricsOf(font).font);
    doc.setDocumentMargin(0);
    doc.setHtml(html);
    doc.setTextWidth(width / kMmPerMeasurePx);
    return doc.size().height() * kMmPerMeasurePx;
}

}  // namespace dorvan::report
