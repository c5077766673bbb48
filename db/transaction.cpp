#include "db/transaction.h"

#include "db/connection.h"

namespace dorvan::db {

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.StartTransaction();
    active_ = true;
}

Transaction::~Transaction() {
    if (!active_)
        return;
    try {
        connection_.Rollback();
    } catch (...) {
        // A lost connection has rolled the work back already.
    }
}

void Transaction::Commit() {
    active_ = false;
    connection_.Commit();
}

void Transaction::Rollback() {
    active_ = false;
    connection_.Rollback();
}

}  // namespace dorvan::db
