#pragma once
// A query component of the data module: built with the module on its main connection, with
// its statement fixed at that time, and entered in the module's component list (the bulk
// open and refresh walk that list; tag -1 keeps a component out of the bulk open).

#include <string>
#include <utility>
#include <vector>

#include "datamodule/dm_context.h"
#include "db/query.h"

namespace dorvan {

class ModuleQuery : public db::Query {
  public:
    ModuleQuery(DmContext& dm, std::string name, std::vector<std::string> sql, int tag = 0,
                Handler afterOpen = {})
        : db::Query(dm.ZConnection, std::move(name)) {
        SetSql(std::move(sql));
        SetTag(tag);
        AfterOpen = std::move(afterOpen);
        dm.RegisterQuery(*this);
    }
};

}  // namespace dorvan
