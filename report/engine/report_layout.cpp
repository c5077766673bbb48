#include "report/engine/report_layout.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <algorithm>
#include <map>
#include <optional>

#include "report/engine/number_format.h"
#include "report/engine/report_error.h"
#include "report/engine/rtf_reader.h"
#include "report/engine/text_measurer.h"
#include "report/engine/utf8.h"

namespace dorvan::report {

std::string FormatValue(const QVariant& value, const std::string& mask) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            return FormatFloat(mask, value.toDouble());
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            if (mask.empty())
                return value.toString().toStdString();
            return FormatFloat(mask, value.toDouble());
        case QMetaType::QDate:
            return FormatDate(mask, value.toDate());
        case QMetaType::QDateTime:
            return FormatDateTime(mask, value.toDateTime());
        case QMetaType::QTime:
            return FormatDateTime(mask.empty() ? GlobalFormatSettings().longTimeFormat : mask,
                                  QDateTime(QDate(1899, 12, 30), value.toTime()));
        case QMetaType::Bool:
            return value.toBool() ? "True" : "False";
        case QMetaType::QByteArray:
            return value.toByteArray().toStdString();
        default:
            break;
    }
    // Numbers that arrive as text (NUMERIC columns) still take the mask.
    if (!mask.empty() && value.typeId() == QMetaType::QString) {
        bool ok = false;
        const double number = value.toString().trimmed().toDouble(&ok);
        if (ok)
            return FormatFloat(mask, number);
    }
    return value.toString().toStdString();
}

namespace {

constexpr double kEpsilon = 0.001;
// The pseudo band of the page-level items.
constexpr const char* kPaperBand = "(page)";

// A band ready to be placed: its final height and its items relative to the band's
// top-left corner.
struct PreparedBand {
    Band* band = nullptr;
    double height = 0;
    std::vector<PageItem> items;
    std::vector<std::pair<std::size_t, const Control*>> pageNumberRuns;
};

bool SameValue(const QVariant& a, const QVariant& b) {
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull == bNull;
    return a == b;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

class LayoutRun {
  public:
    explicit LayoutRun(Report& report) : report_(report) {}

    PageDocument Run() {
        report_.pageNumber = 0;
        report_.detailNumber = 0;
        report_.ForEachControl([](Control& c) { c.sum = 0; });
        if (report_.onBeforePrint)
            report_.onBeforePrint(report_);

        doc_.title = report_.title;
        doc_.paperWidth = report_.paperWidth;
        doc_.paperHeight = report_.paperHeight;
        doc_.margins = report_.margins;
        doc_.baseFont = report_.baseFont;

        for (auto& band : report_.bands) {
            if (band.type == BandType::Child)
                children_[Lower(band.parent)].push_back(&band);
            if (band.type == BandType::GroupHeader)
                groups_.push_back(&band);
        }
        for (auto& band : report_.bands)
            for (auto& control : band.controls)
                if (control.kind == ControlKind::Expression && control.IsSum())
                    sums_.push_back(&control);
        for (auto& control : report_.pageItems)
            if (control.kind == ControlKind::Expression && control.IsSum())
                sums_.push_back(&control);

        DataSource* master = report_.MasterSource();
        std::vector<std::vector<QVariant>> keys;
        if (master) {
            for (master->First(); !master->Eof(); master->Next())
                keys.push_back(GroupValues());
            master->First();
        }
        if (keys.empty() && !report_.printIfEmpty)
            return std::move(doc_);

        StartPage();
        const std::size_t groupCount = groups_.size();
        for (std::size_t row = 0; row < keys.size(); ++row) {
            std::size_t changed = 0;
            if (row > 0) {
                changed = FirstDifference(keys[row - 1], keys[row]);
            }
            for (std::size_t g = changed; g < groupCount; ++g)
                PlaceChain(*groups_[g]);

            ++report_.detailNumber;
            for (Control* c : sums_)
                AddToSum(*c);
            for (auto& band : report_.bands)
                if (band.type == BandType::Detail)
                    PlaceChain(band);

            const std::size_t next =
                row + 1 < keys.size() ? FirstDifference(keys[row], keys[row + 1]) : 0;
            for (std::size_t g = groupCount; g > next; --g)
                if (Band* footer = report_.FindBand(groups_[g - 1]->footer);
                    footer && !groups_[g - 1]->footer.empty())
                    PlaceChain(*footer);
            master->Next();
        }
        for (auto& band : report_.bands)
            if (band.type == BandType::Summary)
                PlaceChain(band);
        EndPage(true);
        return std::move(doc_);
    }

  private:
    std::size_t FirstDifference(const std::vector<QVariant>& a, const std::vector<QVariant>& b) {
        for (std::size_t g = 0; g < a.size(); ++g)
            if (!SameValue(a[g], b[g]))
                return g;
        return a.size();
    }

    std::vector<QVariant> GroupValues() {
        std::vector<QVariant> values;
        for (Band* group : groups_) {
            Control probe;
            probe.expression = group->expression;
            std::string dataSet;
            const std::string column = probe.ExpressionColumn(&dataSet);
            values.push_back(report_.Source(dataSet).Value(column));
        }
        return values;
    }

    void AddToSum(Control& control) {
        std::string dataSet;
        const std::string column = control.ExpressionColumn(&dataSet);
        const QVariant v = report_.Source(dataSet).Value(column);
        if (v.isValid() && !v.isNull())
            control.sum += v.toDouble();
    }

    // ---- pages ----

    void StartPage() {
        ++report_.pageNumber;
        page_ = Page{};
        page_.number = report_.pageNumber;
        y_ = report_.margins.top;

        footer_.clear();
        for (auto& band : report_.bands)
            if (band.type == BandType::PageFooter)
                CollectChain(band, footer_);
        double footerHeight = 0;
        for (const auto& pb : footer_)
            footerHeight += pb.height;
        bottom_ = report_.paperHeight - report_.margins.bottom - footerHeight;

        if (report_.pageNumber > 1 || report_.pageHeaderOnFirstPage)
            PlaceChains(BandType::PageHeader);
        if (report_.pageNumber == 1)
            PlaceChains(BandType::Title);
        PlaceChains(BandType::ColumnHeader);
        fresh_ = true;
    }

    void EndPage(bool last) {
        if (!last || report_.pageFooterOnLastPage) {
            y_ = bottom_;
            for (auto& pb : footer_)
                Place(pb);
        }
        // Page-level items, measured from the paper's corner, on every page.
        Band paperBand;
        paperBand.name = kPaperBand;
        PreparedBand items = PrepareControls(paperBand, report_.pageItems, 0);
        y_ = 0;
        Place(items, 0);
        doc_.pages.push_back(std::move(page_));
    }

    void PlaceChains(BandType type) {
        for (auto& band : report_.bands)
            if (band.type == type) {
                std::vector<PreparedBand> list;
                CollectChain(band, list);
                for (auto& pb : list)
                    Place(pb);
            }
    }

    void PlaceChain(Band& root) {
        std::vector<PreparedBand> list;
        CollectChain(root, list);
        for (std::size_t i = 0; i < list.size(); ++i) {
            double needed = list[i].height;
            const std::size_t end = KeepEnd(list, i);
            for (std::size_t j = i + 1; j <= end; ++j)
                needed += list[j].height;
            if (y_ + needed > bottom_ + kEpsilon && !fresh_) {
                EndPage(false);
                StartPage();
            }
            Place(list[i]);
            fresh_ = false;
        }
    }

    // The last index of the bands that must stay on one page with band i.
    static std::size_t KeepEnd(const std::vector<PreparedBand>& list, std::size_t i) {
        std::size_t end = i;
        const Band& b = *list[i].band;
        for (std::size_t j = i + 1; j < list.size(); ++j) {
            const Band& other = *list[j].band;
            if ((!b.keepWith.empty() && EqualsIgnoreCase(b.keepWith, other.name)) ||
                (!other.keepWith.empty() && EqualsIgnoreCase(other.keepWith, b.name)))
                end = j;
        }
        return end;
    }

    void CollectChain(Band& band, std::vector<PreparedBand>& out) {
        if (auto pb = Prepare(band))
            out.push_back(std::move(*pb));
        const auto it = children_.find(Lower(band.name));
        if (it == children_.end())
            return;
        for (Band* child : it->second)
            CollectChain(*child, out);
    }

    void Place(PreparedBand& pb) { Place(pb, report_.margins.left); }

    void Place(PreparedBand& pb, double dx) {
        for (const auto& [index, control] : pb.pageNumberRuns) {
            auto& run = std::get<TextRun>(pb.items[index]);
            run.text = control->mask.empty() ? std::to_string(report_.pageNumber)
                                             : FormatFloat(control->mask, report_.pageNumber);
        }
        const double dy = y_;
        for (auto& item : pb.items) {
            std::visit(
                [&](auto& it) {
                    using T = std::decay_t<decltype(it)>;
                    if constexpr (std::is_same_v<T, LineItem>) {
                        it.x1 += dx;
                        it.x2 += dx;
                        it.y1 += dy;
                        it.y2 += dy;
                    } else {
                        it.left += dx;
                        it.top += dy;
                    }
                },
                item);
            page_.items.push_back(std::move(item));
        }
        y_ += pb.height;
    }

    // ---- bands ----

    std::optional<PreparedBand> Prepare(Band& band) {
        if (!band.enabled)
            return std::nullopt;
        bool print = true;
        if (band.beforePrint)
            band.beforePrint(band, print);
        if (!print)
            return std::nullopt;
        PreparedBand pb = PrepareControls(band, band.controls, report_.PrintableWidth());
        for (auto& control : band.controls)
            if (control.kind == ControlKind::Expression && control.resetAfterPrint)
                control.sum = 0;
        return pb;
    }

    std::string ControlText(const Control& c) {
        switch (c.kind) {
            case ControlKind::Label:
                return c.caption;
            case ControlKind::DataText: {
                const DataSource& source = report_.Source(c.dataSet);
                const QVariant value = source.Value(c.field);
                return FormatValue(value, c.mask.empty() ? source.DisplayFormat(c.field) : c.mask);
            }
            case ControlKind::SysData:
                switch (c.sysData) {
                    case SysDataKind::PageNumber:
                        return std::to_string(report_.pageNumber);
                    case SysDataKind::DetailNumber:
                        return c.mask.empty() ? std::to_string(report_.detailNumber)
                                              : FormatFloat(c.mask, report_.detailNumber);
                    case SysDataKind::ReportTitle:
                        return report_.title;
                    case SysDataKind::Date:
                        return FormatDate(c.mask, QDate::currentDate());
                    case SysDataKind::Time:
                        return FormatDateTime(
                            c.mask.empty() ? GlobalFormatSettings().longTimeFormat : c.mask,
                            QDateTime::currentDateTime());
                }
                return {};
            case ControlKind::Expression:
                if (c.IsSum())
                    return FormatFloat(c.mask, c.sum);
                {
                    std::string dataSet;
                    const std::string column = c.ExpressionColumn(&dataSet);
                    return FormatValue(report_.Source(dataSet).Value(column), c.mask);
                }
            case ControlKind::Memo: {
                std::string text;
                for (std::size_t i = 0; i < c.lines.size(); ++i)
                    text += (i ? "\n" : "") + c.lines[i];
                return text;
            }
            case ControlKind::ExprMemo: {
                std::string text;
                for (std::size_t i = 0; i < c.lines.size(); ++i)
                    text += (i ? "\n" : "") + FillPlaceholders(c.lines[i]);
                return text;
            }
            default:
                return {};
        }
    }

    std::string FillPlaceholders(const std::string& line) {
        std::string out;
        std::size_t pos = 0;
        while (pos < line.size()) {
            const auto open = line.find('{', pos);
            const auto close = open == std::string::npos ? open : line.find('}', open);
            if (open == std::string::npos || close == std::string::npos) {
                out += line.substr(pos);
                break;
            }
            out += line.substr(pos, open - pos);
            Control ref;
            ref.expression = line.substr(open + 1, close - open - 1);
            std::string dataSet;
            const std::string column = ref.ExpressionColumn(&dataSet);
            out += FormatValue(report_.Source(dataSet).Value(column), "");
            pos = close + 1;
        }
        return out;
    }

    static bool IsText(ControlKind kind) {
        return kind == ControlKind::Label || kind == ControlKind::DataText ||
               kind == ControlKind::SysData || kind == ControlKind::Expression ||
               kind == ControlKind::Memo || kind == ControlKind::ExprMemo;
    }

    PreparedBand PrepareControls(Band& band, std::vector<Control>& controls, double bandWidth) {
        PreparedBand pb;
        pb.band = &band;
        pb.height = band.height;

        struct Laid {
            const Control* control;
            std::vector<std::string> lines;
            double boxHeight;
            QString html;
        };
        std::vector<Laid> laid;
        for (auto& c : controls) {
            if (!c.enabled)
                continue;
            Laid l{&c, {}, c.height, {}};
            if (IsText(c.kind)) {
                const bool wrap =
                    c.grows || c.kind == ControlKind::Memo || c.kind == ControlKind::ExprMemo;
                // Control characters of stored texts print as blanks on every output;
                // the line breaks stay to split the text into its lines.
                l.lines = measurer_.Lines(c.font, BlankControlChars(ControlText(c)), c.width, wrap);
                const double lineHeight = measurer_.LineHeight(c.font);
                const double spacing = measurer_.LineSpacing(c.font);
                if (c.grows) {
                    const double textHeight =
                        l.lines.empty()
                            ? 0
                            : static_cast<double>(l.lines.size() - 1) * spacing + lineHeight;
                    if (textHeight > c.height) {
                        l.boxHeight = textHeight;
                        pb.height = std::max(pb.height, band.height + textHeight - c.height);
                    }
                } else {
                    std::size_t fit = 1;
                    if (c.height > lineHeight)
                        fit +=
                            static_cast<std::size_t>((c.height - lineHeight) / spacing + kEpsilon);
                    if (l.lines.size() > fit)
                        l.lines.resize(fit);
                }
            } else if (c.kind == ControlKind::RichText) {
                l.html = RichTextToHtml(c.richText);
                if (c.grows) {
                    const double h = measurer_.RichTextHeight(l.html, c.font, c.width);
                    if (h > c.height) {
                        l.boxHeight = h;
                        pb.height = std::max(pb.height, band.height + h - c.height);
                    }
                }
            }
            laid.push_back(std::move(l));
        }

        if (band.colour.isValid() && band.colour.alpha() > 0 && bandWidth > 0)
            pb.items.push_back(
                RectItem{0, 0, bandWidth, pb.height, band.colour, QColor(), 0, false});

        for (const Laid& l : laid) {
            const Control& c = *l.control;
            if (c.background.isValid() && c.background.alpha() > 0)
                pb.items.push_back(RectItem{c.left, c.top, c.width, l.boxHeight, c.background,
                                            QColor(), 0, false});
            if (IsText(c.kind)) {
                const double lineHeight = measurer_.LineHeight(c.font);
                const double spacing = measurer_.LineSpacing(c.font);
                const bool pageNumber =
                    c.kind == ControlKind::SysData && c.sysData == SysDataKind::PageNumber;
                for (std::size_t i = 0; i < l.lines.size(); ++i) {
                    if (l.lines[i].empty())
                        continue;
                    TextRun run;
                    run.left = c.left;
                    run.top = c.top + static_cast<double>(i) * spacing;
                    run.width = c.width;
                    run.height = lineHeight;
                    run.alignment = c.alignment;
                    run.font = c.font;
                    run.text = l.lines[i];
                    run.controlName = c.name;
                    if (pageNumber)
                        pb.pageNumberRuns.emplace_back(pb.items.size(), &c);
                    pb.items.push_back(std::move(run));
                }
            } else if (c.kind == ControlKind::RichText) {
                pb.items.push_back(
                    RichTextItem{c.left, c.top, c.width, l.boxHeight, l.html, c.font});
            } else if (c.kind == ControlKind::Picture) {
                if (!c.picture.isNull()) {
                    double w = c.width;
                    double h = c.height;
                    if (c.autoSize) {
                        w = PxToMm(c.picture.width());
                        h = PxToMm(c.picture.height());
                    }
                    pb.items.push_back(PictureItem{c.left, c.top, w, h, c.picture, c.stretch});
                }
            } else if (c.kind == ControlKind::FrameLine) {
                const double x = c.left + c.width / 2;
                const double bottom = band.name == kPaperBand ? c.top + c.height : pb.height;
                pb.items.push_back(LineItem{x, c.top, x, bottom, c.penWidth, c.penColour});
            } else if (c.kind == ControlKind::Shape) {
                switch (c.shape) {
                    case ShapeKind::HorizontalLine: {
                        const double y = c.top + c.height / 2;
                        pb.items.push_back(
                            LineItem{c.left, y, c.left + c.width, y, c.penWidth, c.penColour});
                        break;
                    }
                    case ShapeKind::VerticalLine: {
                        const double x = c.left + c.width / 2;
                        pb.items.push_back(
                            LineItem{x, c.top, x, c.top + c.height, c.penWidth, c.penColour});
                        break;
                    }
                    case ShapeKind::Rectangle:
                    case ShapeKind::Circle:
                        pb.items.push_back(RectItem{c.left, c.top, c.width, c.height, QColor(),
                                                    c.penColour, c.penWidth,
                                                    c.shape == ShapeKind::Circle});
                        break;
                }
            }
            AddFrame(pb, c.frame, c.left, c.top, c.width, l.boxHeight);
        }
        if (bandWidth > 0)
            AddFrame(pb, band.frame, 0, 0, bandWidth, pb.height);
        return pb;
    }

    static void AddFrame(PreparedBand& pb, const FrameSides& f, double left, double top,
                         double width, double height) {
        if (!f.Any())
            return;
        const double right = left + width;
        const double bottom = top + height;
        if (f.top)
            pb.items.push_back(LineItem{left, top, right, top, f.width, f.colour});
        if (f.bottom)
            pb.items.push_back(LineItem{left, bottom, right, bottom, f.width, f.colour});
        if (f.left)
            pb.items.push_back(LineItem{left, top, left, bottom, f.width, f.colour});
        if (f.right)
            pb.items.push_back(LineItem{right, top, right, bottom, f.width, f.colour});
    }

    Report& report_;
    TextMeasurer measurer_;
    PageDocument doc_;
    Page page_;
    double y_ = 0;
    double bottom_ = 0;
    bool fresh_ = true;
    std::vector<PreparedBand> footer_;
    std::map<std::string, std::vector<Band*>> children_;
    std::vector<Band*> groups_;
    std::vector<Control*> sums_;
};

}  // namespace

PageDocument ReportLayout::Run() {
    return LayoutRun(report_).Run();
}

}  // namespace dorvan::report
