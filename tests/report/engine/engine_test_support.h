#pragma once
// Helpers of the engine tests: the Qt application, reports from JSON, reading laid-out pages.

#include <QByteArray>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "report/engine/memory_data_source.h"
#include "report/engine/page_model.h"
#include "report/engine/report.h"

namespace dorvan::report::test {

// Creates the QApplication the engine's fonts and widgets need (once per test program).
void EnsureApplication();

Report ReportFromJson(const std::string& json);

// Texts of the runs of one control, in page order over all pages.
std::vector<std::string> TextsOf(const PageDocument& doc, const std::string& controlName);
// All text runs of a page, in order.
std::vector<const TextRun*> RunsOf(const Page& page);
const TextRun* FindRun(const Page& page, const std::string& controlName);

// The lines of a text file (without the CR LF ends) and its raw bytes.
std::string ReadBytes(const std::string& path);
std::vector<std::string> SplitCrLf(const std::string& bytes);

// Files of a test go to the folder the test program's main sets (removed at its end).
void SetTempDirectory(const QString& dir);
std::string TempPath(const std::string& name);

// The sample design (resource ":/engine_test/two_page_report.json") with its data: a header
// row and `rows` lines in two VAT groups; 50 lines make two pages. Detail colours alternate.
struct SampleReport {
    MemoryDataSource head{{"kiallito_sorok", "vevo_sorok", "partner_kod"}};
    MemoryDataSource lines{{"afakulcs", "afa_leiras", "nev", "netto", "afa_szazalek", "brutto"}};
    Report report;
};
std::unique_ptr<SampleReport> MakeSampleReport(int rows);

}  // namespace dorvan::report::test
