#pragma once
// Number and date formats of the workstation. The program uses one object of this kind;
// its defaults are the Hungarian ones.

#include <string>

namespace dorvan {

struct FormatSettings {
    std::string decimalSeparator = ",";
    std::string thousandSeparator = " ";
    std::string shortDateFormat = "yyyy.MM.dd.";
    std::string longTimeFormat = "H:mm:ss";
    std::string currencyString = "Ft";
};

// The program-wide settings (Hungarian defaults until changed).
FormatSettings& GlobalFormatSettings();

}  // namespace dorvan
