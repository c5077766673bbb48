#include "db/result.h"

#include <libpq-fe.h>

#include <cstdlib>

namespace dorvan::db {

void Result::Clear::operator()(pg_result* r) const {
    PQclear(r);
}

int Result::Rows() const {
    return result_ ? PQntuples(result_.get()) : 0;
}
int Result::Columns() const {
    return result_ ? PQnfields(result_.get()) : 0;
}
bool Result::IsNull(int row, int column) const {
    return PQgetisnull(result_.get(), row, column) != 0;
}
std::string Result::Text(int row, int column) const {
    return std::string(PQgetvalue(result_.get(), row, column),
                       static_cast<std::size_t>(PQgetlength(result_.get(), row, column)));
}
std::string Result::ColumnName(int column) const {
    return PQfname(result_.get(), column);
}
Oid Result::ColumnType(int column) const {
    return PQftype(result_.get(), column);
}
int Result::ColumnModifier(int column) const {
    return PQfmod(result_.get(), column);
}
Oid Result::ColumnTable(int column) const {
    return PQftable(result_.get(), column);
}
int Result::ColumnTableColumn(int column) const {
    return PQftablecol(result_.get(), column);
}
long Result::AffectedRows() const {
    if (!result_)
        return 0;
    const char* n = PQcmdTuples(result_.get());
    return n != nullptr && *n != '\0' ? std::strtol(n, nullptr, 10) : 0;
}

std::string Result::CommandStatus() const {
    if (!result_)
        return {};
    const char* tag = PQcmdStatus(result_.get());
    return tag != nullptr ? std::string(tag) : std::string();
}

}  // namespace dorvan::db
