#include "report/engine/number_format.h"

#include <QLocale>

namespace dorvan::report {

std::string FormatDateTime(const std::string& format, const QDateTime& value,
                           const FormatSettings& settings) {
    if (!value.isValid())
        return {};
    if (format.empty()) {
        std::string out = FormatDateTime(settings.shortDateFormat, value, settings);
        if (value.time() != QTime(0, 0))
            out += " " + FormatDateTime(settings.longTimeFormat, value, settings);
        return out;
    }
    return QLocale::c().toString(value, QString::fromStdString(format)).toStdString();
}

std::string FormatDate(const std::string& format, const QDate& value,
                       const FormatSettings& settings) {
    if (!value.isValid())
        return {};
    return FormatDateTime(format.empty() ? settings.shortDateFormat : format,
                          QDateTime(value, QTime(0, 0)), settings);
}

}  // namespace dorvan::report
