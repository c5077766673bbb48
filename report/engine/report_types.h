#pragma once
// Small value types shared by the report model, the page model and the renderers.

#include <QColor>
#include <string>
#include <string_view>

namespace dorvan::report {

enum class Alignment { Left, Right, Center };

// A font as the design names it; "Arial" resolves to the metric-compatible Liberation Sans.
struct FontSpec {
    std::string family = "Arial";
    double size = 10;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QColor colour = QColor(Qt::black);
    int charset = 0;  // character set number of the design: kept, not used (text is Unicode)

    bool operator==(const FontSpec&) const = default;
};

// Frame lines on the sides of a band or a control.
struct FrameSides {
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    QColor colour = QColor(Qt::black);
    double width = 0.26;  // mm (one design pixel)

    bool Any() const { return top || bottom || left || right; }
};

struct Margins {
    double top = 10;
    double bottom = 10;
    double left = 10;
    double right = 10;
};

// Design pixels are 1/96 inch.
inline constexpr double kMmPerPixel = 25.4 / 96.0;
inline constexpr double PxToMm(double px) {
    return px * kMmPerPixel;
}
inline constexpr double MmToPx(double mm) {
    return mm / kMmPerPixel;
}

// Case-insensitive comparison of ASCII names (band, control and column names).
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace dorvan::report
