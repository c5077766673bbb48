#pragma once
// A data module connected to the test program's demo database, with a recording user
// interface and the category keys of the start-up's self test.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/main_table.h"
#include "config/recording_ui.h"
#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

inline std::unique_ptr<TDM> MoneyDm() {
    auto dm = std::make_unique<TDM>();
    dm->ConnectLocal(DatabaseParams());
    return dm;
}

class MoneyTest : public ::testing::Test {
  protected:
    MoneyTest() : scope_(ui) {}

    void SetUp() override {
        dm = MoneyDm();
        dm->SetSetup("admin");  // a Hungarian user
        dm->FajtaTeszt();
    }

    // Statements and reads on a connection of the test's own.
    void Exec(const std::string& sql) { dm->ExecSQLList({sql}, dm->ZConnection_behind); }
    std::string Scalar(const std::string& sql) {
        return dm->GetSQLResult(sql, dm->ZConnection_behind);
    }
    int Count(const std::string& sql) { return std::stoi(Scalar(sql)); }

    // Changes a column of the global settings row until the end of the test.
    void SetSetup(const std::string& column, int value) {
        const std::string old = Scalar("SELECT coalesce(" + column + ", 0) FROM _setup_main");
        restore_ += "UPDATE _setup_main SET " + column + " = " + old + ";";
        Exec("UPDATE _setup_main SET " + column + " = " + std::to_string(value));
        dm->_setup_mainSQL.Close();
    }
    void TearDown() override {
        if (!restore_.empty())
            Exec(restore_);
    }

    RecordingUi ui;
    std::unique_ptr<TDM> dm;

  private:
    ScopedUiPort scope_;
    std::string restore_;
};

}  // namespace dorvan::test
