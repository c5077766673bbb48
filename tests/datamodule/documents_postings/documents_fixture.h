#pragma once
// The data module on the test program's demo database, with a recording user interface, and
// helpers for tests that run several clients at once (each with a data module of its own).

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "config/main_table.h"
#include "config/recording_ui.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

class DocumentsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MainTable().UserID = "tesztelo";
        MainTable().LastSignTime = 0;
        dm.ConnectLocal(DatabaseParams());
    }

    // One value of a statement's first row ("" without rows).
    std::string Value(const std::string& sql, const db::ParamValues& params = {}) {
        return dm.GetSQLResult(sql, params);
    }
    int Int(const std::string& sql, const db::ParamValues& params = {}) {
        const std::string v = Value(sql, params);
        return v.empty() ? 0 : std::stoi(v);
    }
    double Float(const std::string& sql, const db::ParamValues& params = {}) {
        const std::string v = Value(sql, params);
        return v.empty() ? 0 : std::stod(v);
    }
    void Exec(const std::string& sql, const db::ParamValues& params = {}) {
        dm.ExecSQL(sql, params);
    }

    // Runs `work(client index, that client's data module)` on `clients` threads at once,
    // each client with a data module of its own; the modules are built and released here.
    static void RunClients(int clients, const std::function<void(int, TDM&)>& work) {
        std::vector<std::unique_ptr<TDM>> modules;
        for (int i = 0; i < clients; ++i) {
            modules.push_back(std::make_unique<TDM>());
            modules.back()->ConnectLocal(DatabaseParams());
        }
        std::vector<std::thread> threads;
        for (int i = 0; i < clients; ++i)
            threads.emplace_back([&, i] { work(i, *modules[static_cast<std::size_t>(i)]); });
        for (auto& t : threads)
            t.join();
    }

    RecordingUi ui;
    ScopedUiPort uiScope{ui};
    TDM dm;
};

}  // namespace dorvan::test
