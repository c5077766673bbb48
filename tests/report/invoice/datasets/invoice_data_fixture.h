#pragma once
// A data module connected to the demo database, with a document selection and the invoice
// datasets over it. Every change a test makes is rolled back at its end.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "datamodule/dm.h"
#include "db/transaction.h"
#include "report/invoice/invoice_datasets.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

class InvoiceDataTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dm.ConnectLocal(DatabaseParams());
        tx = std::make_unique<db::Transaction>(dm.ZConnection);
        data = std::make_unique<TInvoiceDatasets>(dm, props);
    }

    void TearDown() override {
        data.reset();
        tx.reset();
    }

    void Exec(const std::string& sql, const db::ParamValues& params = {}) {
        dm.ExecSQL(sql, params);
    }

    db::Query& Fej() { return data->Raktar_mozgas_fejZReadOnlyQuery; }
    db::Query& Tetel() { return data->Raktar_mozgasZReadOnlyQuery; }
    db::Query& Elojel() { return data->ElojelZReadOnlyQuery; }

    std::string FejText(const char* name) { return Fej().FieldByName(name).AsString(); }

    // Moves the lines to the line with this key; fails the test when there is none.
    void GoToLine(int kod) { ASSERT_TRUE(Tetel().Locate("kod", {kod})) << "line " << kod; }
    std::string LineText(const char* name) { return Tetel().FieldByName(name).AsString(); }

    // Keys of the lines in dataset order.
    std::vector<int> LineKeys() {
        std::vector<int> keys;
        for (Tetel().First(); !Tetel().Eof(); Tetel().Next())
            keys.push_back(static_cast<int>(Tetel().FieldByName("kod").AsInteger()));
        return keys;
    }

    TDM dm;
    std::unique_ptr<db::Transaction> tx;
    InvoiceSelection props;
    std::unique_ptr<TInvoiceDatasets> data;
};

}  // namespace dorvan::test
