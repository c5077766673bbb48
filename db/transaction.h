#pragma once
// An explicit transaction on a connection: started on construction, rolled back on
// destruction unless Commit was called. Not copyable.
//
// When the connection already has an explicit transaction open (or, with auto-commit off,
// its implicit one), the object becomes a savepoint inside it: Commit releases the
// savepoint and leaves the outer transaction to its owner; Rollback, or destruction without
// Commit, undoes the inner work only and the outer work stays.

#include <string>

namespace dorvan::db {

class Connection;

class Transaction {
  public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void Commit();
    void Rollback();
    bool Active() const { return active_; }
    // True when this object is a savepoint inside an outer transaction.
    bool IsSavepoint() const { return !savepoint_.empty(); }

  private:
    Connection& connection_;
    std::string savepoint_;
    bool active_ = false;
};

}  // namespace dorvan::db
