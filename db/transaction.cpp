#include "db/transaction.h"

#include <atomic>

#include "db/connection.h"

namespace dorvan::db {

namespace {

// Savepoint names are unique within the process, so nested savepoints never shadow each other.
std::string NextSavepointName() {
    static std::atomic<unsigned long> counter{0};
    return "dorvan_sp_" + std::to_string(++counter);
}

}  // namespace

Transaction::Transaction(Connection& connection) : connection_(connection) {
    if (connection_.InExplicitTransaction()) {
        savepoint_ = NextSavepointName();
        connection_.Execute("SAVEPOINT " + savepoint_);
    } else {
        connection_.StartTransaction();
    }
    active_ = true;
}

Transaction::~Transaction() {
    if (!active_)
        return;
    try {
        Rollback();
    } catch (...) {
        // A lost connection has rolled the work back already.
    }
}

void Transaction::Commit() {
    active_ = false;
    if (IsSavepoint())
        connection_.Execute("RELEASE SAVEPOINT " + savepoint_);
    else
        connection_.Commit();
}

void Transaction::Rollback() {
    active_ = false;
    if (IsSavepoint()) {
        // After a failed statement the outer transaction is in the error state; rolling back
        // to the savepoint is what makes it usable again.
        connection_.Execute("ROLLBACK TO SAVEPOINT " + savepoint_);
        connection_.Execute("RELEASE SAVEPOINT " + savepoint_);
    } else {
        connection_.Rollback();
    }
}

}  // namespace dorvan::db
