#include "report/engine/report_design_loader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "report/engine/report_error.h"

namespace dorvan::report {

namespace {

class DesignReader {
  public:
    DesignReader(double unit, std::string baseDir) : unit_(unit), baseDir_(std::move(baseDir)) {}

    Band ReadBand(const QJsonObject& o) const {
        Band b;
        b.name = Str(o, "name");
        b.type = BandTypeOf(Str(o, "type"));
        b.enabled = o.value("enabled").toBool(true);
        b.height = o.value("height").toDouble() * unit_;
        b.frame = ReadFrame(o.value("frame"));
        b.colour = Colour(o, "color");
        b.parent = Str(o, "parent");
        b.expression = Str(o, "expression");
        b.footer = Str(o, "footer");
        b.keepWith = Str(o, "keepWith");
        for (const auto& c : o.value("controls").toArray())
            b.controls.push_back(ReadControl(c.toObject(), b.name));
        return b;
    }

    Control ReadControl(const QJsonObject& o, const std::string& owner) const {
        Control c;
        c.name = Str(o, "name");
        c.kind = ControlKindOf(Str(o, "kind"), owner + "." + c.name);
        c.enabled = o.value("enabled").toBool(true);
        c.left = o.value("left").toDouble() * unit_;
        c.top = o.value("top").toDouble() * unit_;
        c.width = o.value("width").toDouble() * unit_;
        c.height = o.value("height").toDouble() * unit_;
        c.alignment = AlignmentOf(Str(o, "align"));
        if (o.contains("font"))
            c.font = ReadFont(o.value("font").toObject(), c.font);
        c.grows = o.value("grows").toBool(false);
        c.frame = ReadFrame(o.value("frame"));
        c.background = Colour(o, "background");
        c.caption = Str(o, "caption");
        c.dataSet = Str(o, "dataSet");
        c.field = Str(o, "field");
        c.mask = Str(o, "mask");
        c.sysData = SysDataOf(Str(o, "data"));
        c.expression = Str(o, "expression");
        c.resetAfterPrint = o.value("resetAfterPrint").toBool(false);
        for (const auto& line : o.value("lines").toArray())
            c.lines.push_back(line.toString().toStdString());
        c.richText = Str(o, "richText");
        c.stretch = o.value("stretch").toBool(false);
        c.autoSize = o.value("autoSize").toBool(false);
        c.shape = ShapeOf(Str(o, "shape"));
        if (o.contains("penColor"))
            c.penColour = Colour(o, "penColor");
        if (o.contains("penWidth"))
            c.penWidth = o.value("penWidth").toDouble() * unit_;
        if (o.contains("imageData")) {
            const QByteArray data =
                QByteArray::fromBase64(o.value("imageData").toString().toLatin1());
            if (!c.picture.loadFromData(data))
                throw ReportError("design: unreadable picture data of " + c.name);
        } else if (o.contains("image")) {
            c.LoadPictureFromFile(Resolve(Str(o, "image")));
        }
        return c;
    }

    FontSpec ReadFont(const QJsonObject& o, FontSpec font) const {
        if (o.contains("family"))
            font.family = Str(o, "family");
        if (o.contains("size"))
            font.size = o.value("size").toDouble();
        if (o.contains("style")) {
            const QString style = o.value("style").toString().toUpper();
            font.bold = style.contains('B');
            font.italic = style.contains('I');
            font.underline = style.contains('U');
        }
        if (o.contains("color"))
            font.colour = Colour(o, "color");
        return font;
    }

    static std::string Str(const QJsonObject& o, const char* key) {
        return o.value(QLatin1String(key)).toString().toStdString();
    }

  private:
    std::string Resolve(const std::string& path) const {
        const QString p = QString::fromStdString(path);
        if (p.startsWith(':') || QFileInfo(p).isAbsolute() || baseDir_.empty())
            return path;
        return QDir(QString::fromStdString(baseDir_)).filePath(p).toStdString();
    }

    static QColor Colour(const QJsonObject& o, const char* key) {
        const QString text = o.value(QLatin1String(key)).toString();
        if (text.isEmpty())
            return {};
        QColor colour = QColor::fromString(text);
        if (!colour.isValid())
            throw ReportError("design: bad colour " + text.toStdString());
        return colour;
    }

    FrameSides ReadFrame(const QJsonValue& v) const {
        FrameSides f;
        QString sides;
        if (v.isString()) {
            sides = v.toString();
        } else if (v.isObject()) {
            const QJsonObject o = v.toObject();
            sides = o.value("sides").toString();
            if (o.contains("color"))
                f.colour = Colour(o, "color");
            if (o.contains("width"))
                f.width = o.value("width").toDouble() * unit_;
        }
        for (const QString& s : sides.split(',', Qt::SkipEmptyParts)) {
            const QString side = s.trimmed().toLower();
            if (side == "top")
                f.top = true;
            else if (side == "bottom")
                f.bottom = true;
            else if (side == "left")
                f.left = true;
            else if (side == "right")
                f.right = true;
            else if (side == "all")
                f.top = f.bottom = f.left = f.right = true;
            else
                throw ReportError("design: bad frame side " + side.toStdString());
        }
        return f;
    }

    static BandType BandTypeOf(const std::string& t) {
        static const std::pair<const char*, BandType> kTypes[] = {
            {"title", BandType::Title},
            {"pageHeader", BandType::PageHeader},
            {"columnHeader", BandType::ColumnHeader},
            {"groupHeader", BandType::GroupHeader},
            {"detail", BandType::Detail},
            {"groupFooter", BandType::GroupFooter},
            {"summary", BandType::Summary},
            {"pageFooter", BandType::PageFooter},
            {"child", BandType::Child}};
        for (const auto& [name, type] : kTypes)
            if (EqualsIgnoreCase(t, name))
                return type;
        throw ReportError("design: unknown band type \"" + t + "\"");
    }

    static ControlKind ControlKindOf(const std::string& k, const std::string& where) {
        static const std::pair<const char*, ControlKind> kKinds[] = {
            {"label", ControlKind::Label},         {"dataText", ControlKind::DataText},
            {"sysData", ControlKind::SysData},     {"expression", ControlKind::Expression},
            {"memo", ControlKind::Memo},           {"exprMemo", ControlKind::ExprMemo},
            {"richText", ControlKind::RichText},   {"picture", ControlKind::Picture},
            {"frameLine", ControlKind::FrameLine}, {"shape", ControlKind::Shape}};
        for (const auto& [name, kind] : kKinds)
            if (EqualsIgnoreCase(k, name))
                return kind;
        throw ReportError("design: unknown control kind \"" + k + "\" of " + where);
    }

    static Alignment AlignmentOf(const std::string& a) {
        if (a.empty() || EqualsIgnoreCase(a, "left"))
            return Alignment::Left;
        if (EqualsIgnoreCase(a, "right"))
            return Alignment::Right;
        if (EqualsIgnoreCase(a, "center") || EqualsIgnoreCase(a, "centre"))
            return Alignment::Center;
        throw ReportError("design: unknown alignment \"" + a + "\"");
    }

    static SysDataKind SysDataOf(const std::string& d) {
        if (d.empty() || EqualsIgnoreCase(d, "pageNumber"))
            return SysDataKind::PageNumber;
        if (EqualsIgnoreCase(d, "detailNumber"))
            return SysDataKind::DetailNumber;
        if (EqualsIgnoreCase(d, "reportTitle"))
            return SysDataKind::ReportTitle;
        if (EqualsIgnoreCase(d, "date"))
            return SysDataKind::Date;
        if (EqualsIgnoreCase(d, "time"))
            return SysDataKind::Time;
        throw ReportError("design: unknown system data \"" + d + "\"");
    }

    static ShapeKind ShapeOf(const std::string& s) {
        if (s.empty() || EqualsIgnoreCase(s, "rectangle"))
            return ShapeKind::Rectangle;
        if (EqualsIgnoreCase(s, "horizontalLine"))
            return ShapeKind::HorizontalLine;
        if (EqualsIgnoreCase(s, "verticalLine"))
            return ShapeKind::VerticalLine;
        if (EqualsIgnoreCase(s, "circle"))
            return ShapeKind::Circle;
        throw ReportError("design: unknown shape \"" + s + "\"");
    }

    double unit_;
    std::string baseDir_;
};

QByteArray ReadAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError("cannot read report design " + path);
    return file.readAll();
}

}  // namespace

Report ReportDesignLoader::Load(const QByteArray& json, const std::string& baseDir) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (doc.isNull() || !doc.isObject())
        throw ReportError("report design is not valid JSON: " + error.errorString().toStdString());
    const QJsonObject o = doc.object();
    const std::string units = DesignReader::Str(o, "units");
    if (!units.empty() && units != "mm" && units != "px")
        throw ReportError("design: unknown units \"" + units + "\"");
    const double unit = units == "px" ? kMmPerPixel : 1.0;
    const DesignReader reader(unit, baseDir);

    Report r;
    r.name = DesignReader::Str(o, "name");
    r.title = DesignReader::Str(o, "title");
    const QJsonObject paper = o.value("paper").toObject();
    r.paperWidth = paper.value("width").toDouble(210);
    r.paperHeight = paper.value("height").toDouble(297);
    const QJsonObject margins = o.value("margins").toObject();
    r.margins.top = margins.value("top").toDouble(10);
    r.margins.bottom = margins.value("bottom").toDouble(10);
    r.margins.left = margins.value("left").toDouble(10);
    r.margins.right = margins.value("right").toDouble(10);
    r.baseFont = reader.ReadFont(o.value("font").toObject(), r.baseFont);
    r.master = DesignReader::Str(o, "master");
    r.printIfEmpty = o.value("printIfEmpty").toBool(true);
    r.pageHeaderOnFirstPage = o.value("pageHeaderOnFirstPage").toBool(true);
    r.pageFooterOnLastPage = o.value("pageFooterOnLastPage").toBool(true);
    for (const auto& b : o.value("bands").toArray()) {
        Band band = reader.ReadBand(b.toObject());
        // Controls without a font of their own take the report's base font.
        const QJsonArray controls = b.toObject().value("controls").toArray();
        for (qsizetype i = 0; i < controls.size(); ++i)
            if (!controls[i].toObject().contains("font"))
                band.controls[static_cast<std::size_t>(i)].font = r.baseFont;
            else
                band.controls[static_cast<std::size_t>(i)].font =
                    reader.ReadFont(controls[i].toObject().value("font").toObject(), r.baseFont);
        r.bands.push_back(std::move(band));
    }
    for (const auto& c : o.value("pageItems").toArray()) {
        Control control = reader.ReadControl(c.toObject(), "page");
        control.font = reader.ReadFont(c.toObject().value("font").toObject(), r.baseFont);
        r.pageItems.push_back(std::move(control));
    }
    for (const auto& band : r.bands)
        if (band.type == BandType::Child && !r.FindBand(band.parent))
            throw ReportError("design: child band " + band.name + " has no parent band \"" +
                              band.parent + "\"");
    return r;
}

Report ReportDesignLoader::LoadFile(const std::string& path) {
    return Load(ReadAll(path),
                QFileInfo(QString::fromStdString(path)).absolutePath().toStdString());
}

Report ReportDesignLoader::LoadResourceOrFile(const std::string& resourcePath,
                                              const std::string& overridePath) {
    if (!overridePath.empty() && QFileInfo::exists(QString::fromStdString(overridePath)))
        return LoadFile(overridePath);
    return LoadFile(resourcePath);
}

}  // namespace dorvan::report
