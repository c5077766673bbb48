#pragma once
// A data module connected to the test program's demo database.

#include <gtest/gtest.h>

#include "config/main_table.h"
#include "datamodule/dm.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

inline db::ConnectionParams DemoParams() {
    const auto& s = Server();
    db::ConnectionParams p;
    p.host = s.host;
    p.port = s.port;
    p.user = s.user;
    p.password = s.password;
    p.database = DatabaseName();
    return p;
}

class DmTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainTable().UserID.clear();
        dm.ConnectLocal(DemoParams());
    }

    // A second client on the same database, for changes behind the module's back.
    void Other(const std::string& sql) {
        db::Connection c("other");
        c.SetParams(DemoParams());
        c.Connect();
        c.Execute(sql);
    }

    TDM dm;
};

}  // namespace dorvan::test
