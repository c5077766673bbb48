#pragma once
// A data module connected to the test program's database, with this computer's identity
// in the settings record as the start-up sets it.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/main_table.h"
#include "config/network.h"
#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

inline std::unique_ptr<TDM> ConnectedModule() {
    auto dm = std::make_unique<TDM>();
    dm->ConnectLocal(DatabaseParams());
    return dm;
}

class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainTable() = TMainTable{};
        MainTable().CurrentIP = "localhost";
        std::string error;
        GetLocalHostAndIP(MainTable().LocalHostName, MainTable().LocalIP, error);
        dm = ConnectedModule();
    }
    void TearDown() override {
        dm.reset();
        MainTable() = TMainTable{};
    }

    // Statements and reads on the module's side connection, outside the main one's work.
    void Exec(const std::string& sql) { dm->ExecSQLList({sql}, dm->ZConnection_behind); }
    std::string Scalar(const std::string& sql, const db::ParamValues& params = {}) {
        return dm->GetSQLResult(sql, params, dm->ZConnection_behind);
    }
    int Count(const std::string& sql, const db::ParamValues& params = {}) {
        return std::stoi(Scalar(sql, params));
    }

    std::unique_ptr<TDM> dm;
};

}  // namespace dorvan::test
