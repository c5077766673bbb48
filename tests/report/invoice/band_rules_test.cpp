// The band rules of the invoice on in-memory datasets, with the settings of the demo
// database: which bands and controls print for which data.

#include <gtest/gtest.h>

#include <algorithm>

#include "config/main_table.h"
#include "invoice_report_support.h"
#include "report/engine/report_error.h"
#include "report/engine/tqr_ascii_export_filter.h"

namespace dorvan::test {
namespace {

class BandRulesTest : public InvoiceTest {
  protected:
    report::PageDocument Run() {
        TQuickRep_szamlabizonylat rep(dm, data);
        return rep.Layout();
    }
    static int Count(const std::vector<std::string>& v, const std::string& s) {
        return static_cast<int>(std::count(v.begin(), v.end(), s));
    }

    MemoryInvoiceData data;
};

TEST_F(BandRulesTest, NoLinesStillPrintsOnePageWithTheHeaderData) {
    const report::PageDocument doc = Run();
    ASSERT_EQ(doc.pages.size(), 1U);
    EXPECT_EQ(TextsOf(doc, "QRDBText_bizonylatszam2"), std::vector<std::string>{"SZ-2026/0001"});
    EXPECT_EQ(TextsOf(doc, "QRLabel_10085"), std::vector<std::string>{"Tétel megnevezése"});
    for (const char* none : {"QRSysData2", "QRDBText_AFA", "QRDBText6", "QRExpr2",
                             "QRDBText_NettoOsszeg", "QRLabel_nemszall", "QRDBText4"}) {
        SCOPED_TRACE(none);
        EXPECT_TRUE(TextsOf(doc, none).empty());
    }
    EXPECT_EQ(TextsOf(doc, "QRLabel_10130"), std::vector<std::string>{"Végösszesen:"});
    EXPECT_EQ(TextsOf(doc, "QRLabel_10140"), std::vector<std::string>{"Ellenőrizte és átvette"});
}

TEST_F(BandRulesTest, VatExemptKeyPrintsNoVatPercentNorVatAmount) {
    data.AddLine({{"afakulcs", 1}});
    data.AddLine({{"afakulcs", 2},
                  {"afa_mentes", 1},
                  {"afa_szazalek", 0.0},
                  {"AFA_arbevetel", 0.0},
                  {"brutto_arbevetel", 100.0},
                  {"afa_leiras", "Tárgyi adómentes"}});
    const report::PageDocument doc = Run();
    EXPECT_EQ(TextsOf(doc, "QRDBText_afaszazalek"), std::vector<std::string>{"27 %"});
    EXPECT_EQ(TextsOf(doc, "QRDBText_afaosszeg"), std::vector<std::string>{"27,00"});
    EXPECT_EQ(TextsOf(doc, "QRDBText_AFA"),
              (std::vector<std::string>{"27% ÁFA", "Tárgyi adómentes"}));
    EXPECT_EQ(TextsOf(doc, "QRExpr2"), (std::vector<std::string>{"100,00", "100,00"}));
    EXPECT_EQ(TextsOf(doc, "QRExpr_Afaosszeg"), std::vector<std::string>{"27,00"});
    EXPECT_EQ(TextsOf(doc, "QRExpr4"), (std::vector<std::string>{"127,00", "100,00"}));
}

TEST_F(BandRulesTest, SignSubtotalsFollowPositiveThenNegativeLinesOfOneKey) {
    data.AddLine(
        {{"netto_arbevetel", 300.0}, {"AFA_arbevetel", 81.0}, {"brutto_arbevetel", 381.0}});
    data.AddLine(
        {{"netto_arbevetel", 200.0}, {"AFA_arbevetel", 54.0}, {"brutto_arbevetel", 254.0}});
    data.AddLine(
        {{"netto_arbevetel", -50.0}, {"AFA_arbevetel", -13.5}, {"brutto_arbevetel", -63.5}});
    data.AddLine({{"afakulcs", 2},
                  {"afa_szazalek", 5.0},
                  {"AFA_arbevetel", 5.0},
                  {"brutto_arbevetel", 105.0},
                  {"afa_leiras", "5% ÁFA"}});
    const report::PageDocument doc = Run();
    EXPECT_EQ(
        TextsOf(doc, "QRDBText6"),
        (std::vector<std::string>{"Teljesített tételek összesen:", "Visszavezetések összesen:",
                                  "Teljesített tételek összesen:"}));
    EXPECT_EQ(TextsOf(doc, "QRExpr1"), (std::vector<std::string>{"500,00", "-50,00", "100,00"}));
    EXPECT_EQ(TextsOf(doc, "QRExpr3"), (std::vector<std::string>{"135,00", "-13,50", "5,00"}));
    EXPECT_EQ(TextsOf(doc, "QRExpr2"), (std::vector<std::string>{"450,00", "100,00"}));
    // Order: lines 1-2, positive subtotal, line 3, negative subtotal, VAT subtotal, line 4, ...
    std::vector<std::string> order;
    for (const auto& name : ControlOrder(doc))
        if (name == "QRSysData2" || name == "QRDBText6" || name == "QRDBText_AFA")
            order.push_back(name);
    EXPECT_EQ(order, (std::vector<std::string>{"QRSysData2", "QRSysData2", "QRDBText6",
                                               "QRSysData2", "QRDBText6", "QRDBText_AFA",
                                               "QRSysData2", "QRDBText6", "QRDBText_AFA"}));
}

TEST_F(BandRulesTest, OneSignPerKeyLeavesTheSignFooterOff) {
    data.AddLine({});
    data.AddLine({{"afakulcs", 2}, {"netto_arbevetel", -100.0}});
    const report::PageDocument doc = Run();
    EXPECT_TRUE(TextsOf(doc, "QRDBText6").empty());
    EXPECT_EQ(TextsOf(doc, "QRDBText_AFA").size(), 2U);
}

TEST_F(BandRulesTest, RoundingRowOnlyFromACent) {
    struct Case {
        double kerekites;
        std::vector<std::string> row;
    };
    const Case cases[] = {{0.004, {}}, {0.0, {}}, {-0.4, {"-0,40"}}, {0.01, {"0,01"}}};
    data.AddLine({});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kerekites);
        data.SetHeader({{"kerekites", c.kerekites}});
        EXPECT_EQ(TextsOf(Run(), "QRDBText4"), c.row);
    }
}

TEST_F(BandRulesTest, DetailColourAlternatesOverTheWholeDocument) {
    MainTable().Nyomtatvany_sorkiemeles = 0xC0D0E0;  // 00BBGGRR
    for (int i = 0; i < 75; ++i)
        data.AddLine({});
    const report::PageDocument doc = Run();
    ASSERT_GE(doc.pages.size(), 2U);
    int checked = 0;
    for (const auto& page : doc.pages)
        for (const auto& item : page.items)
            if (const auto* run = std::get_if<report::TextRun>(&item);
                run && (run->controlName == "QRSysData2" || run->controlName == "QRDBText24")) {
                SCOPED_TRACE(std::to_string(page.number) + " " + run->controlName + " " +
                             run->text);
                const QColor fill = FillBehind(page, *run);
                const int number = run->controlName == "QRSysData2" ? std::stoi(run->text) : 0;
                if (run->controlName == "QRSysData2") {
                    EXPECT_EQ(fill, number % 2 ? QColor(Qt::white) : QColor(0xE0, 0xD0, 0xC0));
                    ++checked;
                }
            }
    EXPECT_EQ(checked, 75);
}

TEST_F(BandRulesTest, DiscountTotalDependsOnHufAmountsOnly) {
    struct Case {
        double kedvHuf, bruttoHuf;
        int tiltas;
        bool prints;
    };
    const Case cases[] = {
        {1234, 10000, 0, true}, {0, 10000, 0, false}, {1234, 0, 0, false}, {1234, 10000, 1, false}};
    data.AddLine({});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.kedvHuf) + " " + std::to_string(c.bruttoHuf));
        // The document-currency amounts point the other way: only the HUF ones decide.
        data.SetHeader({{"deviza_nev", "EUR"},
                        {"netto_kedvezmeny", c.prints ? 0.0 : 5.0},
                        {"brutto_arbevetel_vegosszeg", c.prints ? 0.0 : 5.0},
                        {"netto_kedvezmeny_HUF", c.kedvHuf},
                        {"brutto_arbevetel_vegosszeg_HUF", c.bruttoHuf},
                        {"partner_kedvezmeny_megj_tiltasa", c.tiltas}});
        const report::PageDocument doc = Run();
        EXPECT_EQ(TextsOf(doc, "QRLabel_10135").size(), c.prints ? 1U : 0U);
        if (c.prints) {
            EXPECT_EQ(TextsOf(doc, "QRLabel_10135_after"), std::vector<std::string>{"0 EUR"});
        }
    }
}

TEST_F(BandRulesTest, DiscountTotalOfAWholeForintAmount) {
    data.AddLine({});
    data.SetHeader({{"netto_kedvezmeny", 1234.0}, {"netto_kedvezmeny_HUF", 1234.0}});
    const report::PageDocument doc = Run();
    EXPECT_EQ(TextsOf(doc, "QRLabel_10135_after"), std::vector<std::string>{"1 234 HUF"});
}

TEST_F(BandRulesTest, DiscountDetailLineNeedsSettingPercentAndPermission) {
    ChangeSettings(
        "kedvezmeny_reszletezes_a_fobizonylaton = 1, lang_0000040e = "
        "'( Eredeti listaár: {listaar} {deviza} / {mee}; alkalmazott kedvezmény {kedv} )'");
    data.AddLine({{"kedvezmeny_szazalek", 10.0},
                  {"listaar", "111,11"},
                  {"deviza", "HUF"},
                  {"kedv", "10,00 %"}});
    data.AddLine({{"kedvezmeny_szazalek", 0.0}});
    report::PageDocument doc = Run();
    EXPECT_EQ(TextsOf(doc, "QRExprMemo_kedv"),
              std::vector<std::string>{
                  "( Eredeti listaár: 111,11 HUF / db; alkalmazott kedvezmény 10,00 % )"});
    EXPECT_TRUE(TextsOf(doc, "QRExprMemo_kedv_langtext").empty());

    data.SetHeader({{"partner_kedvezmeny_megj_tiltasa", 1}});
    EXPECT_TRUE(TextsOf(Run(), "QRExprMemo_kedv").empty());

    data.SetHeader({{"partner_kedvezmeny_megj_tiltasa", 0}});
    ChangeSettings("kedvezmeny_reszletezes_a_fobizonylaton = 0");
    EXPECT_TRUE(TextsOf(Run(), "QRExprMemo_kedv").empty());
}

TEST_F(BandRulesTest, DocumentNotesPrintOnlyWhenFilled) {
    data.AddLine({});
    EXPECT_TRUE(TextsOf(Run(), "QRDBText32").empty());
    data.SetHeader({{"Megjegyzes", "Szállítás előre egyeztetett időpontban."},
                    {"sztornozott_bizonylat_kod", 4321},
                    {"sztorno_megjegyzes", "Ez az okirat érvényteleníti a X számú számlát!"},
                    {"projekt_zaradek", "Projekt: P-1"},
                    {"zaradek", "Záradék"}});
    const report::PageDocument doc = Run();
    EXPECT_EQ(TextsOf(doc, "QRDBText32").size(), 1U);
    EXPECT_EQ(TextsOf(doc, "QRDBText25").size(), 1U);
    EXPECT_EQ(TextsOf(doc, "QRDBText5").size(), 1U);
    EXPECT_TRUE(TextsOf(doc, "QRDBText2").empty());
    EXPECT_EQ(TextsOf(doc, "QRDBText3"), std::vector<std::string>{"Záradék"});
    EXPECT_EQ(TextsOf(doc, "QRLabel_10000"), std::vector<std::string>{"ÉRVÉNYTELENÍTŐ OKIRAT"});
}

// Control characters stored in a note must not reach the dot-matrix printer: racun.txt
// carries blanks in their place.
TEST_F(BandRulesTest, ControlCharactersOfANoteReachTheTextFileAsBlanks) {
    data.AddLine({});
    data.SetHeader({{"Megjegyzes", QStringLiteral("Szállítás\x1b"
                                                  "E előre\x0c egyeztetett\x07 "
                                                  "időpontban.")}});
    TQuickRep_szamlabizonylat rep(dm, data);
    const std::string path = TempPath("racun.txt");
    {
        report::TQRAsciiExportFilter filter(path);
        rep.ExportToFilter(filter);
    }
    const std::string bytes = ReadBytes(path);
    for (const char control : {'\x1b', '\x0c', '\x07'})
        EXPECT_EQ(bytes.find(control), std::string::npos) << static_cast<int>(control);
    EXPECT_NE(FromCp1250(bytes).find("Szállítás E előre  egyeztetett  időpontban."),
              std::string::npos);
}

TEST_F(BandRulesTest, DeliveryNoteGroupCaptionFollowsTheLineDate) {
    data.gyujtoszamla = true;
    data.AddLine({});
    data.AddLine({{"eredeti_szallito_telj_datum", QDate(2026, 11, 20)}});
    data.AddLine({{"eredeti_szallito_telj_datum", QDate(2026, 11, 20)}});
    const report::PageDocument doc = Run();
    EXPECT_EQ(TextsOf(doc, "QRLabel_nemszall").size(), 1U);
    EXPECT_EQ(TextsOf(doc, "QRDBText_szall"), std::vector<std::string>{"2026.11.20."});
    EXPECT_EQ(TextsOf(doc, "QRLabel_szall").size(), 1U);

    data.gyujtoszamla = false;
    EXPECT_TRUE(TextsOf(Run(), "QRLabel_nemszall").empty());
}

TEST_F(BandRulesTest, WarehouseDocumentNumberFollowsItsSetting) {
    data.AddLine({});
    ChangeSettings("szamla_raktarmozgas_bizonylat_megjelenites = 1");
    report::PageDocument doc = Run();
    EXPECT_EQ(TextsOf(doc, "QRLabel_10075"), std::vector<std::string>{"Rakt. bizonylat"});
    EXPECT_EQ(TextsOf(doc, "QRDBText_raktar_mozgas_bizonylat"),
              std::vector<std::string>{"RM-0001"});
    data.SetHeader({{"raktar_mozgas_bizonylat", ""}});
    EXPECT_TRUE(TextsOf(Run(), "QRLabel_10075").empty());
    ChangeSettings("szamla_raktarmozgas_bizonylat_megjelenites = 0");
    data.SetHeader({{"raktar_mozgas_bizonylat", "RM-0001"}});
    doc = Run();
    EXPECT_TRUE(TextsOf(doc, "QRLabel_10075").empty());
    EXPECT_TRUE(TextsOf(doc, "QRDBText_raktar_mozgas_bizonylat").empty());
}

TEST_F(BandRulesTest, MissingColumnEndsTheRun) {
    TQuickRep_szamlabizonylat rep(dm, data);
    rep.Design().ControlByName("QRDBText_Nev").field = "no_such_column";
    data.AddLine({});
    EXPECT_THROW(rep.Layout(), report::ReportError);
}

}  // namespace
}  // namespace dorvan::test
