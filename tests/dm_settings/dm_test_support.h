#pragma once
// A data module connected to the test program's database, and small helpers to read the
// database behind it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

inline std::unique_ptr<TDM> ConnectedDm() {
    auto dm = std::make_unique<TDM>();
    dm->ConnectLocal(DatabaseParams());
    return dm;
}

class DmTest : public ::testing::Test {
  protected:
    void SetUp() override { dm = ConnectedDm(); }

    // Runs statements on a connection of the test's own (not the module's).
    void Exec(const std::string& sql) { dm->ExecSQLList({sql}, dm->ZConnection_behind); }
    std::string Scalar(const std::string& sql) {
        return dm->GetSQLResult(sql, dm->ZConnection_behind);
    }
    std::string Scalar(const std::string& sql, const db::ParamValues& params) {
        return dm->GetSQLResult(sql, params, dm->ZConnection_behind);
    }
    int Count(const std::string& sql) { return std::stoi(Scalar(sql)); }

    std::unique_ptr<TDM> dm;
};

}  // namespace dorvan::test
