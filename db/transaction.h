#pragma once
// An explicit transaction on a connection: started on construction, rolled back on
// destruction unless Commit was called. Not copyable.

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

  private:
    Connection& connection_;
    bool active_ = false;
};

}  // namespace dorvan::db
