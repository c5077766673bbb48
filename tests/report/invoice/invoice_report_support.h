#pragma once
// Helpers of the invoice report tests: the Qt application, a data module on the demo
// database, in-memory invoice datasets and readers of laid-out pages.

#include <gtest/gtest.h>

#include <QColor>
#include <QDate>
#include <QVariant>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "datamodule/dm.h"
#include "report/engine/memory_data_source.h"
#include "report/engine/page_model.h"
#include "report/invoice/szamlabizonylat.h"
#include "support/db_params.h"

namespace dorvan::test {

// Column values of one row by name.
using Row = std::map<std::string, QVariant>;

// The three datasets in memory: a header row, lines and per-VAT-key sign counts (computed
// from the lines as the database would).
class MemoryInvoiceData : public InvoiceData {
  public:
    MemoryInvoiceData();
    // A plain Hungarian invoice header with the given values changed.
    void SetHeader(const Row& changes);
    // A line with the given values changed (afakulcs, netto_arbevetel, ...).
    void AddLine(const Row& changes);

    // The sign counts, the sign footer and the lines' sign captions, as the real datasets
    // compute them.
    bool Reopen() override;
    bool GyujtoszamlaGroupEnabled() const override { return gyujtoszamla; }
    report::DataSource& Header() override { return *header_; }
    report::DataSource& Lines() override { return *lines_; }
    report::DataSource& Sign() override { return *sign_; }

    bool signFooter = false;
    bool gyujtoszamla = false;

  private:
    void Rebuild();

    Row header;
    std::vector<Row> lines;
    std::unique_ptr<report::MemoryDataSource> header_;
    std::unique_ptr<report::MemoryDataSource> lines_;
    std::unique_ptr<report::MemoryDataSource> sign_;
};

// A data module on the demo database with its settings row changeable.
class InvoiceTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Changes the global settings row (statement on a second connection), then makes the
    // module read it again.
    void ChangeSettings(const std::string& assignments);

    TDM dm;
};

// Texts of one control's runs over all pages, in page order.
std::vector<std::string> TextsOf(const report::PageDocument& doc, const std::string& control);
// Texts of one control's runs on one page.
std::vector<std::string> TextsOn(const report::Page& page, const std::string& control);
// The names of the controls printed, in page order (one entry per run).
std::vector<std::string> ControlOrder(const report::PageDocument& doc);
// The fill colour of the band rectangle behind a text run (invalid when none).
QColor FillBehind(const report::Page& page, const report::TextRun& run);

std::string ReadBytes(const std::string& path);
std::vector<std::string> SplitCrLf(const std::string& bytes);
// UTF-8 from Windows-1250 bytes.
std::string FromCp1250(const std::string& bytes);
std::string TempPath(const std::string& name);

}  // namespace dorvan::test
