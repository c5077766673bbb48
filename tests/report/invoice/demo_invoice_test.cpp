// The demo invoices through the whole road: datasets on the demo database, preparation,
// layout, the plain-text export and the PDF.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "invoice_report_support.h"
#include "report/engine/report_error.h"
#include "report/engine/tqr_ascii_export_filter.h"
#include "report/engine/utf8.h"

namespace dorvan::test {
namespace {

// The text filter, counting the rows it writes per page.
class CountingFilter : public report::TQRAsciiExportFilter {
  public:
    using TQRAsciiExportFilter::TQRAsciiExportFilter;
    void EndPage() override {
        int rows = 0;
        for (int r = 0; r < Geometry().rowCount; ++r)
            rows += Line(r).empty() ? 0 : 1;
        rowsPerPage.push_back(rows);
        TQRAsciiExportFilter::EndPage();
    }
    std::vector<int> rowsPerPage;
};

// Where a text ends in a row (1-based column of its last character), or 0.
std::size_t EndColumn(const std::string& row, const std::string& text) {
    const auto at = row.find(text);
    if (at == std::string::npos)
        return 0;
    return report::Utf8Length(row.substr(0, at)) + report::Utf8Length(text);
}

// Files kept for a look by hand when DORVAN_INVOICE_OUT names a folder.
void Keep(const std::string& path) {
    if (const char* out = std::getenv("DORVAN_INVOICE_OUT")) {
        std::filesystem::create_directories(out);
        std::filesystem::copy_file(
            path, std::filesystem::path(out) / std::filesystem::path(path).filename(),
            std::filesystem::copy_options::overwrite_existing);
    }
}

class DemoInvoiceTest : public InvoiceTest {
  protected:
    std::vector<std::string> ExportRows(TQuickRep_szamlabizonylat& rep, const std::string& name,
                                        std::vector<int>* rowsPerPage = nullptr) {
        const std::string path = TempPath(name);
        {
            CountingFilter filter(path);
            rep.ExportToFilter(filter);
            if (rowsPerPage)
                *rowsPerPage = filter.rowsPerPage;
        }
        Keep(path);
        bytes = ReadBytes(path);
        std::vector<std::string> rows;
        for (const auto& row : SplitCrLf(bytes))
            rows.push_back(FromCp1250(row));
        return rows;
    }
    static int CountRows(const std::vector<std::string>& rows, const std::string& text) {
        return static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](const auto& r) {
            return r.find(text) != std::string::npos;
        }));
    }

    std::string bytes;
};

TEST_F(DemoInvoiceTest, Invoice4317TextMatchesItsGoldenFile) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4317;
    std::vector<int> rowsPerPage;
    const std::vector<std::string> rows = ExportRows(rep, "racun.txt", &rowsPerPage);

    // Windows-1250 bytes with CR LF ends, at most 84 rows a page.
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
              std::count(bytes.begin(), bytes.end(), '\r'));
    EXPECT_NE(bytes.find("SZ\xC1MLA"), std::string::npos);
    EXPECT_NE(bytes.find("** M\xC1SOLAT **"), std::string::npos);
    for (int n : rowsPerPage)
        EXPECT_LE(n, 84);

    EXPECT_EQ(CountRows(rows, "Kiállító:"), static_cast<int>(rowsPerPage.size()));
    EXPECT_EQ(CountRows(rows, "Végösszesen:"), 1);
    EXPECT_EQ(CountRows(rows, "27%-os ÁFA"), 1);
    EXPECT_EQ(CountRows(rows, "18%-os ÁFA"), 1);
    EXPECT_EQ(CountRows(rows, "5%-os ÁFA    15 960,00"), 1);
    EXPECT_EQ(CountRows(rows, "Fizetendő végösszeg: kettőszázhetvenháromezer"), 1);

    // Amounts end where their right-aligned captions end.
    const auto captions = std::find_if(rows.begin(), rows.end(), [](const auto& r) {
        return r.find("Nettó összeg") != std::string::npos;
    });
    ASSERT_NE(captions, rows.end());
    const std::size_t netEnd = EndColumn(*captions, "Nettó összeg");
    const std::size_t grossEnd = EndColumn(*captions, "Bruttó összeg");
    EXPECT_EQ(EndColumn(rows[static_cast<std::size_t>(captions - rows.begin()) + 2], "14 970,00"),
              netEnd);
    EXPECT_EQ(EndColumn(rows[static_cast<std::size_t>(captions - rows.begin()) + 2], "19 011,90"),
              grossEnd);

    // The golden file was checked by hand against the layout rules; DORVAN_UPDATE_GOLDEN=1
    // writes it anew.
    const std::string golden = std::string(DORVAN_INVOICE_GOLDEN_DIR) + "/racun_4317.txt";
    if (std::getenv("DORVAN_UPDATE_GOLDEN")) {
        std::ofstream(golden, std::ios::binary) << bytes;
    }
    EXPECT_EQ(bytes, ReadBytes(golden));
}

TEST_F(DemoInvoiceTest, LongInvoiceRepeatsItsHeadOnEveryPageAndTotalsOnce) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4320;
    const report::PageDocument doc = rep.Layout();
    // 70 lines of two bands each need several pages under the repeated page head.
    ASSERT_GE(doc.pages.size(), 3U);
    for (const auto& page : doc.pages) {
        SCOPED_TRACE(page.number);
        for (const char* each :
             {"QRLabel_10000", "QRLabel_peldany", "QRDBText_bizonylatszam", "QRLabel_10005_after",
              "QRLabel_10010", "QRLabel_10015", "QRDBText8", "QRDBText7", "QRLabel_10045",
              "QRDBText_bizonylatszam2", "QRDBText27", "QRLabel_10085", "QRLabel_10125",
              "QRLabel26", "QRLabel_10140", "QRLabel_10145", "QRLabel_Tulajdonos"})
            EXPECT_FALSE(TextsOn(page, each).empty()) << each;
        EXPECT_EQ(TextsOn(page, "QRLabel_10005_after"),
                  std::vector<std::string>{std::to_string(page.number)});
        EXPECT_EQ(TextsOn(page, "QRLabel_peldany"), std::vector<std::string>{"** MÁSOLAT **"});
    }
    EXPECT_EQ(TextsOf(doc, "QRSysData2").size(), 70U);
    EXPECT_EQ(TextsOf(doc, "QRSysData2").back(), "70");
    for (const char* once : {"QRLabel_10130", "QRDBText23"}) {
        EXPECT_EQ(TextsOf(doc, once).size(), 1U) << once;
        EXPECT_EQ(TextsOn(doc.pages.back(), once).size(), 1U) << once;
    }
    EXPECT_FALSE(TextsOn(doc.pages.back(), "QRDBText3").empty());
    EXPECT_TRUE(TextsOn(doc.pages.front(), "QRDBText3").empty());

    std::vector<int> rowsPerPage;
    const std::vector<std::string> rows = ExportRows(rep, "racun_4320.txt", &rowsPerPage);
    const int pages = static_cast<int>(doc.pages.size());
    EXPECT_EQ(static_cast<int>(rowsPerPage.size()), pages);
    for (int n : rowsPerPage)
        EXPECT_LE(n, 84);
    EXPECT_EQ(CountRows(rows, "Végösszesen:"), 1);
    EXPECT_EQ(CountRows(rows, "Ellenőrizte és átvette"), pages);
    EXPECT_EQ(CountRows(rows, "Bruttó összeg"), pages);
    EXPECT_EQ(CountRows(rows, "** MÁSOLAT **"), pages);

    // The README names this invoice by its number of pages.
    EXPECT_EQ(pages, 5);
    std::ifstream readme(std::string(DORVAN_SOURCE_DIR) + "/README.md");
    const std::string text{std::istreambuf_iterator<char>(readme), {}};
    EXPECT_NE(text.find("five-page invoice 4320"), std::string::npos);
}

TEST_F(DemoInvoiceTest, ForeignCurrencyInvoiceInASecondLanguage) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4318;
    report::PageDocument doc = rep.Layout();
    for (const char* none :
         {"QRLabel_10000_lang", "QRLabel_10010_slash", "QRLabel_10010_lang", "QRLabel_10085_lang",
          "QRLabel_10130_lang", "QRLabel_10005_slash", "QRDBText_masodik_sor_langtext"})
        EXPECT_TRUE(TextsOf(doc, none).empty()) << none;

    rep.selection.fej_kod = 4318;
    rep.selection.nyelv = "00000409";
    doc = rep.Layout();
    EXPECT_EQ(TextsOf(doc, "QRLabel_10000_lang"), std::vector<std::string>{"INVOICE"});
    EXPECT_EQ(TextsOf(doc, "QRLabel_10010_lang"), std::vector<std::string>{"Issuer:"});
    EXPECT_EQ(TextsOf(doc, "QRLabel_10010_slash"), std::vector<std::string>{"/"});
    EXPECT_EQ(TextsOf(doc, "QRLabel_10015_Lang"), std::vector<std::string>{"Customer:"});
    EXPECT_EQ(TextsOf(doc, "QRLabel_10005_lang"), std::vector<std::string>{"Page:"});
    EXPECT_FALSE(TextsOf(doc, "QRDBText_masodik_sor_langtext").empty());
    EXPECT_FALSE(TextsOf(doc, "QRLabel_10085_lang").empty());
    EXPECT_FALSE(TextsOf(doc, "QRLabel_10130_lang").empty());
    EXPECT_EQ(TextsOf(doc, "QRDBText1"), std::vector<std::string>{"EUR"});
    const std::string pdf = TempPath("szamla_4318_en.pdf");
    rep.ExportPdf(pdf);
    Keep(pdf);
    // The slash and the second-language caption follow "Lap:" 4 pixels apart, the page
    // number after them.
    report::Report& r = rep.Design();
    const auto& lap = r.FindBand("ChildBand9")->controls;
    const auto at = [&lap](const char* name) {
        return *std::find_if(lap.begin(), lap.end(), [&](const auto& c) { return c.name == name; });
    };
    EXPECT_NEAR(at("QRLabel_10005_slash").LeftPx(),
                at("QRLabel_10005").LeftPx() + at("QRLabel_10005").WidthPx() + 4, 1e-6);
    EXPECT_NEAR(at("QRLabel_10005_after").LeftPx(),
                at("QRLabel_10005_lang").LeftPx() + at("QRLabel_10005_lang").WidthPx() + 4, 1e-6);
}

TEST_F(DemoInvoiceTest, PreviewCopyShowsNoDocumentNumber) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4317;
    rep.selection.prev = 1;
    rep.selection.peldanyszam = 2;
    rep.selection.peldany = 1;
    const report::PageDocument doc = rep.Layout();
    EXPECT_EQ(TextsOf(doc, "QRLabel_peldany").front(), "** ELŐNÉZET **");
    EXPECT_EQ(TextsOf(doc, "QRDBText_bizonylatszam").front(), "????????");
    EXPECT_EQ(TextsOf(doc, "QRDBText_bizonylatszam2").front(), "????????");

    rep.selection.prev = 0;
    rep.selection.peldanyszam = 0;
    const report::PageDocument stored = rep.Layout();
    EXPECT_EQ(TextsOf(stored, "QRLabel_peldany").front(), "** MÁSOLAT **");
    EXPECT_NE(TextsOf(stored, "QRDBText_bizonylatszam").front(), "????????");
}

TEST_F(DemoInvoiceTest, DocumentNumberSelectsTheHeader) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4317;
    const std::string number = TextsOf(rep.Layout(), "QRDBText_bizonylatszam").front();
    rep.selection.fej_kod = 0;
    rep.selection.bizonylatszam = number;
    EXPECT_EQ(TextsOf(rep.Layout(), "QRDBText_bizonylatszam").front(), number);
}

TEST_F(DemoInvoiceTest, UnknownDocumentPrintsTheFixedTextsOnly) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 999999;
    const report::PageDocument doc = rep.Layout();
    ASSERT_EQ(doc.pages.size(), 1U);
    EXPECT_TRUE(TextsOf(doc, "QRSysData2").empty());
    EXPECT_EQ(TextsOf(doc, "QRLabel_10000"), std::vector<std::string>{"SZÁMLA"});
}

TEST_F(DemoInvoiceTest, HeaderWithoutLinesPrintsOnePageOfHeaderData) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4306;
    const report::PageDocument doc = rep.Layout();
    ASSERT_EQ(doc.pages.size(), 1U);
    EXPECT_TRUE(TextsOf(doc, "QRSysData2").empty());
    EXPECT_TRUE(TextsOf(doc, "QRDBText_AFA").empty());
    EXPECT_FALSE(TextsOf(doc, "QRDBText_bizonylatszam2").empty());
}

TEST_F(DemoInvoiceTest, CollectiveInvoiceGroupsByDeliveryDate) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4311;
    const report::PageDocument doc = rep.Layout();
    EXPECT_EQ(TextsOf(doc, "QRLabel_nemszall").size(), 1U);
    EXPECT_EQ(TextsOf(doc, "QRDBText_szall"), std::vector<std::string>{"2026.11.20."});
    std::vector<std::string> order;
    for (const auto& name : ControlOrder(doc))
        if (name == "QRLabel_nemszall" || name == "QRLabel_szall" || name == "QRSysData2" ||
            name == "QRDBText_AFA")
            order.push_back(name);
    // Lines first delivered on this invoice come first (no delivery date), each VAT key
    // closing with its subtotal.
    EXPECT_EQ(order, (std::vector<std::string>{"QRLabel_nemszall", "QRSysData2", "QRDBText_AFA",
                                               "QRLabel_szall", "QRSysData2", "QRDBText_AFA"}));
}

TEST_F(DemoInvoiceTest, ReversalInvoiceIsTitledAsSuch) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4322;
    const report::PageDocument doc = rep.Layout();
    EXPECT_EQ(TextsOf(doc, "QRLabel_10000").front(), "ÉRVÉNYTELENÍTŐ OKIRAT");
    EXPECT_FALSE(TextsOf(doc, "QRDBText25").empty());
}

TEST_F(DemoInvoiceTest, CopyRunLabelsEachCopyAndResetsTheReport) {
    ChangeSettings("szamla_peldanyszam = 2, szamla_peldanyszam_halasztott = 3");
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4317;  // bank transfer: a deferred payment method
    std::vector<std::string> labels;
    const int copies =
        rep.RunCopies([&] { labels.push_back(TextsOf(rep.Layout(), "QRLabel_peldany").front()); });
    EXPECT_EQ(copies, 3);
    EXPECT_EQ(labels,
              (std::vector<std::string>{"Összesen elkészült 3 példányból ez a 1. (EREDETI) példány",
                                        "Összesen elkészült 3 példányból ez a 2. példány",
                                        "Összesen elkészült 3 példányból ez a 3. példány"}));
    EXPECT_EQ(rep.selection.fej_kod, 0);
    EXPECT_EQ(rep.selection.peldanyszam, 0);
    EXPECT_EQ(rep.selection.peldany, 0);

    rep.selection.fej_kod = 4321;  // cash
    EXPECT_EQ(rep.Print_all(), 2);
    EXPECT_EQ(rep.selection.fej_kod, 0);
    EXPECT_TRUE(rep.selection.bizonylatszam.empty());
}

TEST_F(DemoInvoiceTest, PreviewIsModalAndReturnsWhenClosed) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4317;
    bool shown = false;
    QTimer::singleShot(200, [&shown] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) {
                shown = true;
                w->close();
            }
    });
    rep.Preview();
    EXPECT_TRUE(shown);
}

TEST_F(DemoInvoiceTest, CashInvoiceCarriesThePaidStamp) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4321;
    const report::PageDocument doc = rep.Layout();
    int stamps = 0;
    for (const auto& item : doc.pages.front().items)
        if (const auto* p = std::get_if<report::PictureItem>(&item);
            p && std::abs(p->left - 88.4) < 0.01) {
            ++stamps;
            EXPECT_NEAR(p->top, 274.1, 0.05);  // 1036 design pixels
            EXPECT_NEAR(p->width, 40.0, 0.1);
        }
    EXPECT_EQ(stamps, 1);
    const std::string pdf = TempPath("szamla_4321.pdf");
    rep.ExportPdf(pdf);
    Keep(pdf);
}

TEST_F(DemoInvoiceTest, UnknownPrinterIsAnError) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4317;
    EXPECT_THROW(rep.Print("no such printer"), report::ReportError);
}

TEST_F(DemoInvoiceTest, Invoice4317AsPdf) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.selection.fej_kod = 4317;
    const std::string path = TempPath("szamla_4317.pdf");
    rep.ExportPdf(path);
    Keep(path);
    const std::string pdf = ReadBytes(path);
    ASSERT_GT(pdf.size(), 1000U);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
}

}  // namespace
}  // namespace dorvan::test
