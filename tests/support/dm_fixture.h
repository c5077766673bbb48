#pragma once
// A data module connected to the test program's database, with small helpers to change and
// read the database behind the module's back. DmRollbackFixture opens a transaction on the
// module's main connection for each test and rolls it back at the test's end.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/main_table.h"
#include "datamodule/dm.h"
#include "db/transaction.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

// A further module connected to the test database (a second workstation).
inline std::unique_ptr<TDM> ConnectedDm() {
    auto dm = std::make_unique<TDM>();
    dm->ConnectLocal(DatabaseParams());
    return dm;
}

class DmFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        MainTable().UserID.clear();
        dm = ConnectedDm();
    }

    // Runs a statement on a client of its own (not one of the module's connections).
    static void Other(const std::string& sql) {
        db::Connection c("other");
        c.SetParams(DatabaseParams());
        c.Connect();
        c.Execute(sql);
    }
    // Runs statements and reads on the module's connection of its own, outside the main
    // connection's transactions.
    void Exec(const std::string& sql) { dm->ExecSQLList({sql}, dm->ZConnection_behind); }
    std::string Scalar(const std::string& sql) {
        return dm->GetSQLResult(sql, dm->ZConnection_behind);
    }
    std::string Scalar(const std::string& sql, const db::ParamValues& params) {
        return dm->GetSQLResult(sql, params, dm->ZConnection_behind);
    }
    int Count(const std::string& sql) { return std::stoi(Scalar(sql)); }

    // Reset by a test that checks what ends with the module.
    std::unique_ptr<TDM> dm;
};

class DmRollbackFixture : public DmFixture {
  protected:
    void SetUp() override {
        DmFixture::SetUp();
        tx_ = std::make_unique<db::Transaction>(dm->ZConnection);
    }
    void TearDown() override {
        if (dm)
            tx_.reset();
        else
            (void)tx_.release();  // ended with its connection
    }

  private:
    std::unique_ptr<db::Transaction> tx_;
};

}  // namespace dorvan::test
