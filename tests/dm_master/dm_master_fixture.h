#pragma once
// A data module connected to the test program's demo database.

#include <gtest/gtest.h>

#include "config/main_table.h"
#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

class DmTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainTable().UserID.clear();
        dm.ConnectLocal(DatabaseParams());
    }

    // A second client on the same database, for changes behind the module's back.
    void Other(const std::string& sql) {
        db::Connection c("other");
        c.SetParams(DatabaseParams());
        c.Connect();
        c.Execute(sql);
    }

    TDM dm;
};

}  // namespace dorvan::test
