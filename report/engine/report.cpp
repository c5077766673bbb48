#include "report/engine/report.h"

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <algorithm>
#include <cctype>

#include "report/engine/report_error.h"

namespace dorvan::report {

namespace {

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

QByteArray ReadFile(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError("cannot read " + path);
    return file.readAll();
}

std::string Trim(std::string_view text) {
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string_view::npos)
        return {};
    const auto end = text.find_last_not_of(" \t");
    return std::string(text.substr(begin, end - begin + 1));
}

}  // namespace

void Control::LoadPictureFromFile(const std::string& path) {
    QImage image;
    if (!image.loadFromData(ReadFile(path)))
        throw ReportError("cannot load picture " + path);
    picture = std::move(image);
}

void Control::LoadRichTextFromFile(const std::string& path) {
    richText = ReadFile(path).toStdString();
}

void Control::LoadLinesFromFile(const std::string& path) {
    const QString text = QString::fromUtf8(ReadFile(path));
    lines.clear();
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))))
        lines.push_back(line.toStdString());
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
}

std::string Control::ExpressionColumn(std::string* dataSetName) const {
    std::string text = Trim(expression);
    if (IsSum()) {
        const auto open = text.find('(');
        const auto close = text.rfind(')');
        text = Trim(text.substr(open + 1,
                                close == std::string::npos ? std::string::npos : close - open - 1));
    }
    const auto dot = text.find('.');
    if (dataSetName)
        *dataSetName = dot == std::string::npos ? std::string() : text.substr(0, dot);
    return dot == std::string::npos ? text : text.substr(dot + 1);
}

bool Control::IsSum() const {
    const std::string text = Lower(Trim(expression));
    return text.rfind("sum(", 0) == 0 || text.rfind("sum (", 0) == 0;
}

Control& Band::ControlByName(std::string_view controlName) {
    if (Control* c = FindControl(controlName))
        return *c;
    throw ReportError("control not found: " + std::string(controlName));
}

Control* Band::FindControl(std::string_view controlName) {
    for (auto& c : controls)
        if (EqualsIgnoreCase(c.name, controlName))
            return &c;
    return nullptr;
}

Band& Report::BandByName(std::string_view bandName) {
    if (Band* b = FindBand(bandName))
        return *b;
    throw ReportError("band not found: " + std::string(bandName));
}

Band* Report::FindBand(std::string_view bandName) {
    for (auto& b : bands)
        if (EqualsIgnoreCase(b.name, bandName))
            return &b;
    return nullptr;
}

Control& Report::ControlByName(std::string_view controlName) {
    if (Control* c = FindControl(controlName))
        return *c;
    throw ReportError("control not found: " + std::string(controlName));
}

Control* Report::FindControl(std::string_view controlName) {
    for (auto& b : bands)
        if (Control* c = b.FindControl(controlName))
            return c;
    for (auto& c : pageItems)
        if (EqualsIgnoreCase(c.name, controlName))
            return &c;
    return nullptr;
}

void Report::SetBeforePrint(std::string_view bandName, BeforePrintHandler handler) {
    BandByName(bandName).beforePrint = std::move(handler);
}

void Report::SetDataSource(const std::string& dataSetName, DataSource* source) {
    sources_[Lower(dataSetName)] = source;
}

DataSource& Report::Source(std::string_view dataSetName) {
    const std::string key = Lower(dataSetName.empty() ? std::string_view(master) : dataSetName);
    const auto it = sources_.find(key);
    if (it == sources_.end() || it->second == nullptr)
        throw ReportError("data set not found: " +
                          std::string(dataSetName.empty() ? master : dataSetName));
    return *it->second;
}

DataSource* Report::MasterSource() {
    const auto it = sources_.find(Lower(master));
    return it == sources_.end() ? nullptr : it->second;
}

}  // namespace dorvan::report
