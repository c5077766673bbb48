#include "report/engine/data_source.h"

#include <algorithm>
#include <cctype>

#include "report/engine/report_types.h"

namespace dorvan::report {

DataSource::~DataSource() = default;

std::string DataSource::DisplayFormat(std::string_view) const {
    return {};
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace dorvan::report
