#pragma once
// A data module connected to the test program's database with a recording user interface,
// and small helpers that read and write the database behind the module's back.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/main_table.h"
#include "config/recording_ui.h"
#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

inline std::unique_ptr<TDM> ConnectedDm(const db::ConnectionParams& params = DatabaseParams()) {
    auto dm = std::make_unique<TDM>();
    dm->ConnectLocal(params);
    return dm;
}

class DmAreaTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainTable().UserID.clear();
        dm = ConnectedDm();
    }

    // Statements on a connection of the test's own.
    void Exec(const std::string& sql) { dm->ExecSQLList({sql}, dm->ZConnection_behind); }
    std::string Scalar(const std::string& sql) {
        return dm->GetSQLResult(sql, dm->ZConnection_behind);
    }
    int Count(const std::string& sql) { return std::stoi(Scalar(sql)); }

    RecordingUi ui;
    ScopedUiPort uiScope{ui};
    std::unique_ptr<TDM> dm;
};

}  // namespace dorvan::test
