// Printed item names.

#include "datamodule/texts/item_names.h"

#include <algorithm>

#include "config/lib_strings.h"
#include "datamodule/dm.h"

namespace dorvan {

namespace {

// Positions of the layout that are read; characters after them are ignored.
constexpr std::size_t kLayoutPositions = 9;

// The field a layout character chooses, or null when it chooses none.
const db::Field* Component(const db::DataSet& item, char choice) {
    switch (choice) {
        case '1':
            return &item.FieldByName("Nev");
        case '2':
            return &item.FieldByName("Sor2");
        case '3':
            return &item.FieldByName("Sor3");
        case '4':
            return &item.FieldByName("Sor4");
        case '5':
            return &item.FieldByName("kod");
        case '6':
            return item.FindField("szoveges_kod");
        case '7':
            return item.FindField("kapcsolt_fokonyviszam");
        default:
            return nullptr;
    }
}

}  // namespace

std::string ComposeBizonylatNev(const db::DataSet& item, std::string_view layout,
                                std::string_view delimiter) {
    std::string result;
    bool lastFilled = false;
    const std::size_t count = std::min(layout.size(), kLayoutPositions);
    for (std::size_t i = 0; i < count; ++i) {
        const db::Field* field = Component(item, layout[i]);
        if (field == nullptr)
            continue;
        const std::string value = field->AsString();
        if (!result.empty() && lastFilled) {
            result += ' ';
            result += delimiter;
            result += ' ';
        }
        lastFilled = !value.empty();
        result += TrimBlanks(value);
    }
    return result;
}

std::string ItemNames::GetBizonylatNev(const db::DataSet& DataSet, const std::string& Suffix) {
    dm_._setup_mainSQL.Open();
    const std::string layout =
        dm_._setup_mainSQL.FieldByName("tetel_megnevezes" + Suffix).AsString();
    const std::string delimiter =
        dm_._setup_mainSQL.FieldByName("tetel_megnevezes_delimiter" + Suffix).AsString();
    return ComposeBizonylatNev(DataSet, layout, delimiter);
}

}  // namespace dorvan
