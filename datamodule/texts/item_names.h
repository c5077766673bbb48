#pragma once
// Printed item names: the name of an item as documents print it, composed from the item's
// name columns by a layout of the global settings ("tetel_megnevezes" + suffix) and its
// separator ("tetel_megnevezes_delimiter" + suffix).

#include <string>
#include <string_view>

#include "db/dataset.h"

namespace dorvan {

// Composes the printed name of the item on the current row of `item`.
//
// Each of the first nine characters of `layout` chooses a component: 1 "Nev", 2 "Sor2",
// 3 "Sor3", 4 "Sor4", 5 "kod", 6 "szoveges_kod" and 7 "kapcsolt_fokonyviszam" (the last
// two only when the dataset has the column); other characters choose nothing. Before a
// component, " " + delimiter + " " is added when the name so far is not empty and the
// previous component was not empty, so an empty component after a filled one still adds
// the separator. Components are added trimmed. Column names are matched without regard to
// case; a missing column among 1 to 5 raises db::FieldNotFound.
std::string ComposeBizonylatNev(const db::DataSet& item, std::string_view layout,
                                std::string_view delimiter);

class TDM;

class ItemNames {
  public:
    explicit ItemNames(TDM& dm) : dm_(dm) {}

    // The printed name of the item on the current row of `DataSet`, by the name layout of the
    // global settings with `Suffix` ("" default, "3" invoice; see ComposeBizonylatNev). A
    // suffix without a layout column raises db::FieldNotFound.
    std::string GetBizonylatNev(const db::DataSet& DataSet, const std::string& Suffix);

  private:
    TDM& dm_;
};

}  // namespace dorvan
