#pragma once
// Text measured with real font metrics at a fixed resolution, in millimetres. "Arial"
// resolves to Liberation Sans. Needs a QGuiApplication.

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "report/engine/report_types.h"

namespace dorvan::report {

// The QFont of a font spec (unhinted, so that measuring and painting agree at any scale).
QFont ToQFont(const FontSpec& spec);
// Makes "Arial" resolve to Liberation Sans when fontconfig does not already do so.
void EnsureFontSubstitutes();

class TextMeasurer {
  public:
    double Width(const FontSpec& font, const std::string& text);
    double LineHeight(const FontSpec& font);   // ascent + descent
    double LineSpacing(const FontSpec& font);  // distance between the tops of two lines
    // Splits at line breaks (CR LF, CR, LF); with wrap, also wraps words to the width (a
    // word wider than the width stays whole, on a line of its own).
    std::vector<std::string> Lines(const FontSpec& font, const std::string& text, double width,
                                   bool wrap);
    // Height of a rich-text block laid out to the width.
    double RichTextHeight(const QString& html, const FontSpec& font, double width);

  private:
    struct Metrics {
        QFont font;
        std::optional<QFontMetricsF> metrics;
        double lineHeight = 0;
        double lineSpacing = 0;
    };
    const Metrics& MetricsOf(const FontSpec& font);

    std::map<std::tuple<std::string, double, bool, bool, bool>, Metrics> cache_;
};

}  // namespace dorvan::report
