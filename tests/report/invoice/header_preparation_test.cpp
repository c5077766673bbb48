// The preparation before the first page on in-memory datasets and the demo settings:
// pictures and the fixed text through the temporary folder, the postal address block and the
// paid stamp, the language labels and their placement, the issuer, the movement description.

#include <gtest/gtest.h>

#include <QFile>
#include <filesystem>
#include <fstream>

#include "config/recording_ui.h"
#include "config/temp_folder.h"
#include "invoice_report_support.h"
#include "report/invoice/header_preparation.h"

namespace dorvan::test {
namespace {

std::string HexOfResource(const char* path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toHex().toStdString();
}

class HeaderPreparationTest : public InvoiceTest {
  protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        rep = std::make_unique<TQuickRep_szamlabizonylat>(dm, data);
        data.AddLine({});
    }
    void TearDown() override {
        rep.reset();
        InvoiceTest::TearDown();
    }
    report::PageDocument Run() { return rep->Layout(); }
    report::Control& C(const char* name) { return rep->Design().ControlByName(name); }
    report::Band& B(const char* name) { return rep->Design().BandByName(name); }

    MemoryInvoiceData data;
    std::unique_ptr<TQuickRep_szamlabizonylat> rep;
};

TEST_F(HeaderPreparationTest, LetterheadAndFooterPicturesGoThroughTheTemporaryFile) {
    const std::string jpeg = HexOfResource(":/invoice/fizetve.jpg");
    ASSERT_FALSE(jpeg.empty());
    ChangeSettings(
        "level_fejresz_tipus = 2, szamla_level_fejresz = 1, level_fejresz_grafika_nyujtas = 1, "
        "level_fejresz_grafika_magassag = 20, level_fejresz_grafika = decode('" +
        jpeg +
        "', 'hex'), level_labresz_tipus = 2, szamla_level_labresz = 1, "
        "level_labresz_grafika_nyujtas = 0, level_labresz_grafika_magassag = 15, "
        "level_labresz_grafika = decode('" +
        jpeg + "', 'hex')");
    const report::PageDocument doc = Run();
    EXPECT_TRUE(C("QRImage_Felado").enabled);
    EXPECT_FALSE(C("QRImage_Felado").picture.isNull());
    EXPECT_TRUE(C("QRImage_Felado").stretch);
    EXPECT_DOUBLE_EQ(C("QRImage_Felado").height, 20);
    EXPECT_DOUBLE_EQ(C("QRImage_Felado").width, 190);
    EXPECT_DOUBLE_EQ(B("QRBandTitle").height, 27.8);
    EXPECT_DOUBLE_EQ(C("QRLabel_10000").top, 22);
    EXPECT_TRUE(C("QRImage_labresz").enabled);
    EXPECT_TRUE(C("QRImage_labresz").autoSize);
    EXPECT_DOUBLE_EQ(C("QRLabel_Tulajdonos").top, 16);
    EXPECT_DOUBLE_EQ(B("ChildBand_tulajdonos").height, C("QRLabel_Tulajdonos").height + 16);
    EXPECT_TRUE(std::filesystem::exists(rep->TempFolder().Path() + "Level_grafika.jpg"));
    int pictures = 0;
    for (const auto& item : doc.pages.front().items)
        pictures += std::holds_alternative<report::PictureItem>(item) ? 1 : 0;
    EXPECT_EQ(pictures, 2);  // the paid stamp stays off: bank transfer

    ChangeSettings("szamla_level_fejresz = 0, szamla_level_labresz = 0");
    Run();
    EXPECT_FALSE(C("QRImage_Felado").enabled);
    EXPECT_DOUBLE_EQ(C("QRImage_Felado").height, 0);
    EXPECT_NEAR(B("QRBandTitle").height, 7.8, 1e-9);
    EXPECT_FALSE(C("QRImage_labresz").enabled);
    EXPECT_NEAR(B("ChildBand_tulajdonos").HeightPx(), 12, 1e-9);
    EXPECT_DOUBLE_EQ(C("QRLabel_Tulajdonos").top, 0);
    EXPECT_NEAR(C("QRLabel_Tulajdonos").WidthPx(), rep->Design().PrintableWidthPx(), 1e-9);
}

TEST_F(HeaderPreparationTest, FixedTextPrintsFromTheSettingsWhenSet) {
    ChangeSettings(
        "szamla_allandoszoveg = '{\\rtf1\\ansi Az \\b áru\\b0  a vételár kifizetéséig az eladó "
        "tulajdona.}'");
    Run();
    EXPECT_TRUE(B("ChildBand_allandoszoveg").enabled);
    EXPECT_NE(C("QRRichText_allandoszoveg").richText.find("tulajdona"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(
        std::filesystem::u8path(rep->TempFolder().Path() + "Állandó szöveg a számlán.rtf")));
    ChangeSettings("szamla_allandoszoveg = NULL");
    Run();
    EXPECT_FALSE(B("ChildBand_allandoszoveg").enabled);
}

TEST_F(HeaderPreparationTest, TemporaryFilesStayInAPrivateFolderOfTheRun) {
    namespace fs = std::filesystem;
    const fs::path folder = rep->TempFolder().Path();
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(folder.parent_path().parent_path(), fs::path(qgetenv("TMPDIR").toStdString()));
    // A link in place of a temporary file is replaced, never written through.
    const fs::path victim = folder.parent_path().parent_path() / "victim.txt";
    { std::ofstream(victim) << "keep"; }
    fs::create_symlink(victim, folder / "Állandó szöveg a számlán.rtf");
    ChangeSettings("szamla_allandoszoveg = '{\\rtf1\\ansi Saját szöveg.}'");
    Run();
    EXPECT_FALSE(fs::is_symlink(folder / "Állandó szöveg a számlán.rtf"));
    std::string kept;
    std::getline(std::ifstream(victim), kept);
    EXPECT_EQ(kept, "keep");
    // Another report has a folder of its own; each goes with its report.
    auto other = std::make_unique<TQuickRep_szamlabizonylat>(dm, data);
    EXPECT_NE(other->TempFolder().Path(), rep->TempFolder().Path());
    rep.reset();
    EXPECT_FALSE(fs::exists(folder));
    fs::remove(victim);
    ChangeSettings("szamla_allandoszoveg = NULL");
}

TEST_F(HeaderPreparationTest, PostalBlockAndPaidStamp) {
    data.SetHeader({{"fizetesmod_kod", 1},
                    {"postacim_nev", ""},
                    {"nev", "Vevő Bt."},
                    {"telepules", "Budapest"},
                    {"cim", "Fő utca 1."},
                    {"iszam", "1011"},
                    {"orszag", "Magyarország"}});
    ChangeSettings(
        "szamla_postacimzes = 1, szamla_postacimzes_x = 20, szamla_postacimzes_y = 45, "
        "fizetve_felirat_azonnali_szamlan = 1");
    Run();
    EXPECT_NEAR(B("ChildBandPostaiCimzes").HeightPx(), 151, 1e-9);
    EXPECT_TRUE(C("QRMemo_cimzett").enabled);
    EXPECT_DOUBLE_EQ(C("QRMemo_cimzett").left, 20);
    EXPECT_DOUBLE_EQ(C("QRMemo_cimzett").top, 45);
    EXPECT_EQ(
        C("QRMemo_cimzett").lines,
        (std::vector<std::string>{"Vevő Bt.", "Budapest", "Fő utca 1.", "1011", "Magyarország"}));
    EXPECT_TRUE(C("QRImage_fizetve").enabled);
    EXPECT_NEAR(C("QRImage_fizetve").TopPx(), 892, 1e-9);
    EXPECT_NEAR(C("QRImage_fizetve").WidthPx(), 151, 1e-9);

    data.SetHeader({{"postacim_nev", "Posta Kft."}, {"postacim_telepules", "Eger"}});
    ChangeSettings("szamla_postacimzes = 0, szallitasi_cim_sorok_a_szamlan = 1");
    const report::PageDocument doc = Run();
    EXPECT_NEAR(B("ChildBandPostaiCimzes").HeightPx(), 1, 1e-9);
    EXPECT_FALSE(C("QRMemo_cimzett").enabled);
    EXPECT_NEAR(C("QRImage_fizetve").TopPx(), 1036, 1e-9);
    EXPECT_EQ(C("QRMemo_szallitasi_cim").lines.front(), "Posta Kft.");
    EXPECT_EQ(TextsOf(doc, "QRLabel_10190"), std::vector<std::string>{"Szállítási cím:"});
    EXPECT_TRUE(TextsOf(doc, "QRLabel8").empty());  // no slash on a Hungarian-only invoice

    data.SetHeader({{"fizetesmod_kod", 2}});  // bank transfer: deferred
    Run();
    EXPECT_FALSE(C("QRImage_fizetve").enabled);
    EXPECT_DOUBLE_EQ(C("QRImage_fizetve").width, 0);
    data.SetHeader({{"fizetesmod_kod", 12345}});  // no such payment method
    Run();
    EXPECT_FALSE(C("QRImage_fizetve").enabled);
}

TEST_F(HeaderPreparationTest, HungarianOnlyHidesEveryLanguageLabelAndBand) {
    const report::PageDocument doc = Run();
    rep->Design().ForEachControl([](const report::Control& c) {
        const bool lang = c.name.ends_with("_lang") || c.name.ends_with("_Lang");
        const bool slash = c.name.ends_with("_slash") || c.name.ends_with("_Slash");
        EXPECT_FALSE((lang || slash) && c.enabled) << c.name;
    });
    // ChildBand_Lang15 (second-language discount detail) has a rule of its own instead.
    for (const auto& band : rep->Design().bands)
        EXPECT_FALSE(
            band.name != "ChildBand_Lang15" &&
            (band.name.starts_with("ChildBand_Lang") || band.name.starts_with("ChildBand_lang")) &&
            band.enabled)
            << band.name;
    EXPECT_NEAR(C("QRLabel_10005_after").LeftPx(),
                C("QRLabel_10005").LeftPx() + C("QRLabel_10005").WidthPx() + 4, 1e-9);
    EXPECT_TRUE(B("QRBand_GF2").frame.bottom);
}

TEST_F(HeaderPreparationTest, LanguageWithoutKeyRowHidesTheLabelsButKeepsTheBands) {
    dm.ExecSQL("DELETE FROM lang_key WHERE key_code = '00000407'");
    rep->selection.nyelv = "00000407";
    Run();
    dm.ExecSQL(
        "INSERT INTO lang_key (kod, key_code, key_order, key_name, font, carset, "
        "key_code_withname) VALUES (3, '00000407', 3, 'Deutsch', 'Arial', "
        "'0 - ANSI_CHARSET', '00000407 - Deutsch')");
    EXPECT_TRUE(B("ChildBand_Lang1").enabled);
    EXPECT_FALSE(C("QRLabel_10000_lang").enabled);
    EXPECT_FALSE(C("QRLabel_10005_lang").enabled);
    EXPECT_TRUE(C("QRLabel_10005_slash").enabled);
    EXPECT_FALSE(B("QRBand_GF2").frame.bottom);
}

TEST_F(HeaderPreparationTest, SecondLanguageCaptionsAndFonts) {
    dm.ExecSQL(
        "UPDATE lang_key SET font = 'DejaVu Sans', carset = '238 - EASTEUROPE_CHARSET' "
        "WHERE key_code = '00000407'");
    rep->selection.nyelv = "00000407";
    Run();
    EXPECT_EQ(C("QRLabel_10000_lang").caption, "RECHNUNG");
    EXPECT_EQ(C("QRLabel_10015_Lang").caption, "Kunde:");
    EXPECT_EQ(C("QRLabel_10000_lang").font.family, "DejaVu Sans");
    EXPECT_EQ(C("QRLabel_10000_lang").font.charset, 238);
    EXPECT_EQ(C("QRDBText_zaradek_langtext").font.family, "DejaVu Sans");
    EXPECT_EQ(C("QRDBText8").font.family, "Arial");
    EXPECT_TRUE(C("QRLabel_10010_slash").enabled);
    EXPECT_NEAR(C("QRLabel_10010_lang").LeftPx(),
                C("QRLabel_10010_slash").LeftPx() + C("QRLabel_10010_slash").WidthPx() + 4, 1e-9);
    EXPECT_NEAR(C("QRLabel_10135_after").LeftPx(),
                C("QRLabel_10135_lang").LeftPx() + C("QRLabel_10135_lang").WidthPx() + 4, 1e-9);
    dm.ExecSQL(
        "UPDATE lang_key SET font = 'Arial', carset = '0 - ANSI_CHARSET' "
        "WHERE key_code = '00000407'");
}

TEST_F(HeaderPreparationTest, BrokenLanguageLabelIsReportedAndTheOthersGoOn) {
    RecordingUi ui;
    const ScopedUiPort port(ui);
    report::Control odd;
    odd.name = "QRLabel_abc_lang";
    B("ChildBand_Lang4").controls.push_back(odd);
    EXPECT_FALSE(invoice::SetReportLanguage(rep->Design(), dm, "00000409"));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].caption, "Belső hiba");
    EXPECT_EQ(ui.messages[0].text,
              "Belső hiba a QuickRep_szamlabizonylat nyomtatvány nyelvi "
              "kiegészítésében: QRLabel_abc_lang");
    EXPECT_EQ(C("QRLabel_10000_lang").caption, "INVOICE");
    EXPECT_TRUE(invoice::SetReportLanguage(rep->Design(), dm, "") == true);
    EXPECT_FALSE(C("QRLabel_10000_lang").enabled);
}

TEST_F(HeaderPreparationTest, WaitCursorIsBackAfterAFailedRun) {
    RecordingUi ui;
    const ScopedUiPort port(ui);
    C("QRDBText_Nev").field = "no_such_column";
    EXPECT_ANY_THROW(Run());
    EXPECT_EQ(ui.waitCursorDepth, 0);
}

TEST_F(HeaderPreparationTest, IssuerAndQuantityTotalFollowTheirSettings) {
    data.SetHeader({{"c_userid", "kovacsne"}});
    ChangeSettings(
        "kiallito_feltuntetese_a_bizonylatokon_es_leveleken = 0, "
        "szamla_egysegek_osszesitese_a_vegosszegsorban = 0");
    report::PageDocument doc = Run();
    EXPECT_EQ(TextsOf(doc, "QRLabel_10145").front(), "Kiállította");
    EXPECT_TRUE(TextsOf(doc, "QRExpr_egyseg_osszeg").empty());
    ChangeSettings(
        "kiallito_feltuntetese_a_bizonylatokon_es_leveleken = 1, "
        "szamla_egysegek_osszesitese_a_vegosszegsorban = 1");
    doc = Run();
    EXPECT_EQ(TextsOf(doc, "QRLabel_10145").front().rfind("Kiállította: ", 0), 0U);
    EXPECT_EQ(TextsOf(doc, "QRExpr_egyseg_osszeg"), std::vector<std::string>{"1,00"});
}

TEST_F(HeaderPreparationTest, MovementDescriptionNamesTheWarehouses) {
    const std::string owner = "Tiszavirág Kereskedelmi Kft.";
    EXPECT_EQ(invoice::GetMozgasnemLeiras(dm, 1, 0, 2),
              "Ez a mozgás egy partnercég raktárából a " + owner +
                  " \"Áruház raktár\" raktárába mozgat tételeket.");
    EXPECT_EQ(invoice::GetMozgasnemLeiras(dm, 1, 1, 0),
              "Ez a mozgás a " + owner +
                  " \"Központi raktár\" raktárából egy partnercég raktárába mozgat tételeket.");
    EXPECT_EQ(invoice::GetMozgasnemLeiras(dm, 1, 1, 2),
              "Ez a mozgás a " + owner + " \"Központi raktár\" raktárából a " + owner +
                  " \"Áruház raktár\" raktárába mozgat tételeket.");
    EXPECT_EQ(invoice::GetMozgasnemLeiras(dm, 1, 0, 0), "");

    data.SetHeader({{"mozgasnem_kod", 1}, {"forras_raktar_kod", 1}, {"cel_raktar_kod", 0}});
    ChangeSettings("szamla_mozgasnemleiras = 1");
    EXPECT_EQ(TextsOf(Run(), "QRLabel_MozgasnemLeiras").size(), 1U);
    ChangeSettings("szamla_mozgasnemleiras = 0");
    EXPECT_TRUE(TextsOf(Run(), "QRLabel_MozgasnemLeiras").empty());
}

}  // namespace
}  // namespace dorvan::test
