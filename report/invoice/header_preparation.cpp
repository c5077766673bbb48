#include "report/invoice/header_preparation.h"

#include <QByteArray>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "config/folders.h"
#include "config/lib_strings.h"
#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "report/engine/number_format.h"
#include "report/engine/report_error.h"
#include "report/invoice/band_rules.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::invoice {

namespace {

constexpr const char* kLetterFile = "Level_grafika.jpg";
constexpr const char* kFixedTextFile = "Állandó szöveg a számlán.rtf";
const QColor kDefaultHighlight(0xE6, 0xE6, 0xE6);

db::Query& SetupMain(TDM& dm) {
    if (!dm._setup_mainSQL.Active())
        dm._setup_mainSQL.Open();
    return dm._setup_mainSQL;
}

std::string SetupMainText(TDM& dm, const std::string& column) {
    return SetupMain(dm).FieldByName(column).AsString();
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool EndsWithLang(const std::string& name) {
    return name.size() >= 5 && Lower(name.substr(name.size() - 5)) == "_lang";
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw report::ReportIoError("cannot write " + path);
}

struct PictureSettings {
    const char* tipus;
    const char* szamla;
    const char* grafika;
    const char* nyujtas;
    const char* magassag;
};

// Letterhead or footer picture: loaded from the settings through the temporary file when
// switched on; the picture's height in millimetres (0 when off).
double PreparePicture(TDM& dm, report::Control& picture, const PictureSettings& s,
                      double printableWidth) {
    if (SetupMainInt(dm, s.tipus) == 2 && SetupMainInt(dm, s.szamla) == 1) {
        picture.enabled = true;
        const std::string path = GetTempFolder() + kLetterFile;
        WriteFile(path, ByteaBytes(SetupMainText(dm, s.grafika)));
        picture.LoadPictureFromFile(path);
        picture.stretch = SetupMainInt(dm, s.nyujtas) == 1;
        picture.autoSize = !picture.stretch;
        picture.height = SetupMainInt(dm, s.magassag);
        if (!picture.autoSize)
            picture.width = printableWidth;
    } else {
        picture.enabled = false;
        picture.height = 0;
    }
    return picture.height;
}

std::string HeaderText(TQuickRep_szamlabizonylat& rep, const char* column) {
    return TextOf(rep.Data().Header().Value(column));
}
int HeaderInt(TQuickRep_szamlabizonylat& rep, const char* column) {
    return IntOf(rep.Data().Header().Value(column));
}

}  // namespace

int SetupMainInt(TDM& dm, const std::string& column) {
    const db::Field& f = SetupMain(dm).FieldByName(column);
    return f.IsNull() ? 0 : static_cast<int>(f.AsInteger());
}

std::string ByteaBytes(const std::string& text) {
    if (text.size() >= 2 && text[0] == '\\' && text[1] == 'x')
        return QByteArray::fromHex(QByteArray::fromStdString(text.substr(2))).toStdString();
    return text;
}

std::string GetTempFolder() {
    const std::string folder = GetProgramTempFolder();
    std::filesystem::create_directories(std::filesystem::u8path(folder));
    return folder;
}

int CharsetOf(const std::string& carset) {
    const auto dash = carset.find('-');
    if (dash == std::string::npos || dash < 1)
        return 0;
    const std::string head = carset.substr(0, dash - 1);  // one position before the dash
    if (head.empty() || !std::all_of(head.begin(), head.end(),
                                     [](unsigned char c) { return std::isdigit(c) != 0; }))
        return 0;
    return StrToIntDef(head, 0);
}

std::string LangLabelKey(const std::string& controlName) {
    const auto underscore = controlName.find('_');
    std::string key =
        underscore == std::string::npos ? std::string() : controlName.substr(underscore + 1, 20);
    key = Lower(key);
    for (auto pos = key.find("_lang"); pos != std::string::npos; pos = key.find("_lang"))
        key.erase(pos, 5);
    return key;
}

bool SetReportLanguage(report::Report& report, TDM& dm, const std::string& L) {
    TLangKeyInfo info;
    dm.GetLangKeyInfo(L, info);
    bool ok = true;
    if (!info.key_code.empty()) {
        const int charset = CharsetOf(info.carset);
        report.ForEachControl([&](report::Control& c) {
            if (c.kind != report::ControlKind::Label || !EndsWithLang(c.name))
                return;
            try {
                const int key = StrToInt(LangLabelKey(c.name));
                std::string text;
                dm.GetBizonylat_nyelvInfo(key, "lang_" + L, text);
                c.caption = text;
                c.font.family = info.font;
                c.font.charset = charset;
                c.enabled = true;
            } catch (const std::exception&) {
                Ui().ShowMessage("Belső hiba",
                                 "Belső hiba a " + report.name +
                                     " nyomtatvány nyelvi kiegészítésében: " + c.name);
                ok = false;
            }
        });
    } else {
        report.ForEachControl([](report::Control& c) {
            if (c.kind == report::ControlKind::Label && EndsWithLang(c.name))
                c.enabled = false;
        });
    }
    return ok;
}

void SetDBTextLanguageFont(report::Control& control, TDM& dm, const std::string& L) {
    TLangKeyInfo info;
    dm.GetLangKeyInfo(L, info);
    if (info.key_code.empty())
        return;
    control.font.family = info.font;
    control.font.charset = CharsetOf(info.carset);
}

std::string GetMozgasnemLeiras(TDM& dm, int M, int S, int T) {
    dm.GetMozgasnemInfoZQuery.Close();
    dm.GetRaktarInfoZQuery.Close();
    TMozgasnemInfo mozgasnem;
    dm.GetMozgasnemInfo(M, mozgasnem);
    const std::string owner = dm.OwnerRecord().FieldByName("nev1").AsString();
    const auto name = [&dm](int kod) {
        TRaktarInfo raktar;
        dm.GetRaktarInfo(kod, raktar);
        return raktar.nev;
    };
    const std::string q = " \"";
    const std::string r = "\"";
    if (S == 0 && T != 0)
        return "Ez a mozgás egy partnercég raktárából a " + owner + q + name(T) + r +
               " raktárába mozgat tételeket.";
    if (S != 0 && T == 0)
        return "Ez a mozgás a " + owner + q + name(S) + r +
               " raktárából egy partnercég raktárába mozgat tételeket.";
    if (S != 0 && T != 0)
        return "Ez a mozgás a " + owner + q + name(S) + r + " raktárából a " + owner + q + name(T) +
               r + " raktárába mozgat tételeket.";
    return {};
}

CopyLabel CopyLabelOf(int peldanyszam, int peldany, int prev) {
    CopyLabel label;
    if (peldanyszam == 0) {
        label.caption = "** MÁSOLAT **";
        label.colour = QColor(0xFF, 0, 0);
    } else {
        label.colour = QColor(Qt::black);
        label.caption = "Összesen elkészült " + std::to_string(peldanyszam) + " példányból ez a " +
                        std::to_string(peldany) +
                        (peldany == 1 ? ". (EREDETI) példány" : ". példány");
    }
    if (prev == 1)
        label.caption = "** ELŐNÉZET **";
    return label;
}

std::string InvoiceTitle(int sztornozott_bizonylat_kod, int bizonylat_fajta) {
    if (sztornozott_bizonylat_kod != 0)
        return "ÉRVÉNYTELENÍTŐ OKIRAT";
    if (bizonylat_fajta == 16)
        return "ELŐLEGSZÁMLA";
    return "SZÁMLA";
}

std::string DiscountTotalText(double netto_kedvezmeny, const std::string& deviza_nev) {
    return lib_groupThousands(report::FormatGeneralNumber(netto_kedvezmeny)) + " " + deviza_nev;
}

std::vector<std::string> AddressLines(const std::string& nev, const std::string& telepules,
                                      const std::string& cim, const std::string& iszam,
                                      const std::string& orszag) {
    return {nev, telepules, cim, iszam, orszag};
}

void QuickRepBeforePrint(TQuickRep_szamlabizonylat& rep) {
    report::Report& r = rep.Design();
    TDM& dm = rep.Dm();
    InvoiceData& data = rep.Data();
    const std::string& nyelv = rep.nyelv;
    const bool bilingual = !nyelv.empty();
    const auto control = [&r](const char* name) -> report::Control& {
        return r.ControlByName(name);
    };
    const auto band = [&r](const char* name) -> report::Band& { return r.BandByName(name); };

    // 1. Wait cursor (back to normal at the end, also after an error).
    const WaitCursor cursor;

    // 2. Highlight of the column header, subtotal and total bands.
    const QColor highlight =
        ColourFromSetting(dm.Settings().Bizonylat_sorkiemeles, kDefaultHighlight);
    for (const char* name : {"HeaderBand2", "ChildBand_Lang9", "ChildBand16", "ChildBand_Lang2",
                             "QRBand_GF2", "ChildBand_Lang12", "ChildBand12", "ChildBand_Lang6",
                             "QRBand_Summary", "ChildBand_sum2", "ChildBand_Lang7"})
        band(name).colour = highlight;

    // 3. Payment methods are read afresh.
    dm.GetFizmodInfoZQuery.Close();

    // 4. Title and copy label as wide as the title band.
    report::Band& title = band("QRBandTitle");
    control("QRLabel_10000").SetWidthPx(r.PrintableWidthPx());
    control("QRLabel_peldany").SetWidthPx(r.PrintableWidthPx());

    // 5. Letterhead.
    const double letterHeight =
        PreparePicture(dm, control("QRImage_Felado"),
                       {"level_fejresz_tipus", "szamla_level_fejresz", "level_fejresz_grafika",
                        "level_fejresz_grafika_nyujtas", "level_fejresz_grafika_magassag"},
                       r.PrintableWidth());
    title.height = letterHeight + 7.8;
    control("QRLabel_10000").top = letterHeight + 2;

    // 6. Footer picture and product line.
    report::Band& footer = band("ChildBand_tulajdonos");
    report::Control& footerPicture = control("QRImage_labresz");
    report::Control& productLine = control("QRLabel_Tulajdonos");
    if (SetupMainInt(dm, "level_labresz_tipus") == 2 &&
        SetupMainInt(dm, "szamla_level_labresz") == 1) {
        const double h =
            PreparePicture(dm, footerPicture,
                           {"level_labresz_tipus", "szamla_level_labresz", "level_labresz_grafika",
                            "level_labresz_grafika_nyujtas", "level_labresz_grafika_magassag"},
                           r.PrintableWidth());
        productLine.top = h + 1;
        footer.height = productLine.height + h + 1;
    } else {
        footer.SetHeightPx(12);
        productLine.top = 0;
        footerPicture.enabled = false;
        footerPicture.height = 0;
    }
    productLine.SetWidthPx(r.PrintableWidthPx());
    footerPicture.SetWidthPx(r.PrintableWidthPx());

    // 7. Quantity total in the grand-total row.
    const bool quantityTotal =
        SetupMainInt(dm, "szamla_egysegek_osszesitese_a_vegosszegsorban") == 1;
    for (const char* name :
         {"QRLabel_egyseg_osszeg", "QRExpr_egyseg_osszeg", "QRLabel_egyseg_osszeg_mee"})
        control(name).enabled = quantityTotal;

    // 8. Copy label.
    const CopyLabel copy = CopyLabelOf(rep.peldanyszam, rep.peldany, rep.prev);
    control("QRLabel_peldany").caption = copy.caption;
    control("QRLabel_peldany").font.colour = copy.colour;

    // 9. Fixed text.
    report::Band& fixedText = band("ChildBand_allandoszoveg");
    fixedText.enabled = !SetupMain(dm).FieldByName("szamla_allandoszoveg").IsNull();
    if (fixedText.enabled) {
        report::Control& rich = control("QRRichText_allandoszoveg");
        rich.richText.clear();
        const std::string path = GetTempFolder() + kFixedTextFile;
        WriteFile(path, SetupMainText(dm, "szamla_allandoszoveg"));
        rich.LoadRichTextFromFile(path);
    }

    // 10. Sign subtotals: on when the lines of some VAT key have more than one sign.
    report::Band& signFooter = band("QRBand_GF2");
    data.ReopenSign();
    signFooter.enabled = false;
    report::DataSource& sign = data.Sign();
    for (sign.First(); !sign.Eof(); sign.Next())
        if (IntOf(sign.Value("elojel_db")) > 1)
            signFooter.enabled = true;
    data.SetSignFooterEnabled(signFooter.enabled);

    // 11. The header and the lines, read afresh.
    data.CloseHeaderAndLines();
    data.OpenHeader();
    data.OpenLines();
    band("QRGroup_gyujtoszamla").enabled = data.GyujtoszamlaGroupEnabled();

    // 12. Document numbers: a preview has none yet.
    if (rep.prev != 0) {
        control("QRDBText_bizonylatszam").field = "_prev_bizonylat";
        control("QRDBText_bizonylatszam2").field = "_prev_bizonylat";
        control("QRDBText_raktar_mozgas_bizonylat").field = "_prev_bizonylat";
    } else {
        control("QRDBText_bizonylatszam").field = "Bizonylatszam";
        control("QRDBText_bizonylatszam2").field = "Bizonylatszam";
        control("QRDBText_raktar_mozgas_bizonylat").field = "raktar_mozgas_bizonylat";
    }

    // 13. Discount detail templates.
    control("QRExprMemo_kedv").lines = {SetupMainText(dm, "lang_0000040e")};
    if (bilingual) {
        const std::string L = nyelv == "0" ? "0000040e" : nyelv;
        control("QRExprMemo_kedv_langtext").lines = {SetupMainText(dm, "lang_" + L)};
    }

    // 14. Document-language texts are read afresh.
    dm.GetBizonylat_nyelvZQuery.Close();

    // 15. Language bands.
    for (const char* name :
         {"ChildBand_Lang1", "ChildBand_Lang2", "ChildBand_Lang3", "ChildBand_Lang4",
          "ChildBand_Lang5", "ChildBand_Lang6", "ChildBand_Lang7", "ChildBand_lang8",
          "ChildBand_Lang9", "ChildBand_Lang10", "ChildBand_Lang11", "ChildBand_lang13"})
        band(name).enabled = bilingual;
    band("ChildBand_Lang12").enabled = bilingual && signFooter.enabled;
    signFooter.frame.bottom = !bilingual;

    // 16. Second-language captions.
    SetReportLanguage(r, dm, nyelv);
    rep.languageLabelsShown = bilingual && control("QRLabel_10000_lang").enabled;

    // 17. Caption pairs: Hungarian label, slash, second-language label, value.
    control("QRLabel_10135_after").caption = DiscountTotalText(
        FloatOf(data.Header().Value("netto_kedvezmeny")), HeaderText(rep, "deviza_nev"));
    struct Pair {
        const char* label;
        const char* slash;
        const char* lang;
        const char* value;
    };
    constexpr double kGapPx = 4;
    for (const Pair& p :
         {Pair{"QRLabel_10010", "QRLabel_10010_slash", "QRLabel_10010_lang", nullptr},
          Pair{"QRLabel_10015", "QRLabel_10015_Slash", "QRLabel_10015_Lang", nullptr},
          Pair{"QRLabel_10005", "QRLabel_10005_slash", "QRLabel_10005_lang", "QRLabel_10005_after"},
          Pair{"QRLabel_10135", "QRLabel_10135_slash", "QRLabel_10135_lang",
               "QRLabel_10135_after"}}) {
        report::Control& label = control(p.label);
        report::Control& slash = control(p.slash);
        report::Control& lang = control(p.lang);
        slash.enabled = bilingual;
        // A label the language table could not give stays hidden.
        lang.enabled = bilingual && lang.enabled;
        slash.SetLeftPx(label.LeftPx() + label.WidthPx() + kGapPx);
        lang.SetLeftPx(slash.LeftPx() + slash.WidthPx() + kGapPx);
        if (p.value) {
            report::Control& value = control(p.value);
            value.SetLeftPx(slash.enabled ? lang.LeftPx() + lang.WidthPx() + kGapPx
                                          : label.LeftPx() + label.WidthPx() + kGapPx);
        }
    }
    control("QRLabel8").enabled = bilingual;

    // 18. Fonts of the second-language data texts.
    if (bilingual)
        for (const char* name :
             {"QRDBText_fizetesmod_szla_langtext", "QRDBText_masodik_sor_langtext",
              "QRDBText_mee_langtext", "QRDBText_afa_leiras_langtext",
              "QRDBText_elojel_leiras_lengtext", "QRDBText_zaradek_langtext"})
            SetDBTextLanguageFont(control(name), dm, nyelv);

    // 19. Title.
    control("QRLabel_10000").caption = InvoiceTitle(HeaderInt(rep, "sztornozott_bizonylat_kod"),
                                                    HeaderInt(rep, "bizonylat_fajta"));

    // 20. Stock-movement description.
    report::Control& movement = control("QRLabel_MozgasnemLeiras");
    movement.caption.clear();
    if (SetupMainInt(dm, "szamla_mozgasnemleiras") == 1 &&
        !HeaderText(rep, "raktar_mozgas_bizonylat").empty())
        movement.caption = GetMozgasnemLeiras(dm, HeaderInt(rep, "mozgasnem_kod"),
                                              HeaderInt(rep, "forras_raktar_kod"),
                                              HeaderInt(rep, "cel_raktar_kod"));

    // 21. Postal address block for window envelopes.
    const bool postal = SetupMainInt(dm, "szamla_postacimzes") == 1;
    band("ChildBandPostaiCimzes").SetHeightPx(postal ? 151 : 1);
    report::Control& recipient = control("QRMemo_cimzett");
    recipient.enabled = postal;
    recipient.top = SetupMainInt(dm, "szamla_postacimzes_y");
    recipient.left = SetupMainInt(dm, "szamla_postacimzes_x");
    const bool postalName = !HeaderText(rep, "postacim_nev").empty();
    const std::vector<std::string> postalAddress =
        AddressLines(HeaderText(rep, "postacim_nev"), HeaderText(rep, "postacim_telepules"),
                     HeaderText(rep, "postacim_cim"), HeaderText(rep, "postacim_iszam"),
                     HeaderText(rep, "postacim_orszag"));
    if (postal)
        recipient.lines = postalName
                              ? postalAddress
                              : AddressLines(HeaderText(rep, "nev"), HeaderText(rep, "telepules"),
                                             HeaderText(rep, "cim"), HeaderText(rep, "iszam"),
                                             HeaderText(rep, "orszag"));

    // 22. Delivery address.
    report::Control& delivery = control("QRMemo_szallitasi_cim");
    delivery.lines.clear();
    if (SetupMainInt(dm, "szallitasi_cim_sorok_a_szamlan") == 1 && postalName)
        delivery.lines = postalAddress;

    // 23. Paid stamp on invoices paid at once (a known payment method without deferral).
    report::Control& stamp = control("QRImage_fizetve");
    bool paid = false;
    if (SetupMainInt(dm, "fizetve_felirat_azonnali_szamlan") == 1) {
        TFizmodInfo fizmod;
        dm.GetFizmodInfo(HeaderInt(rep, "fizetesmod_kod"), "0", fizmod);
        paid = fizmod.kod != 0 && fizmod.halasztott_fizetesu == 0;
    }
    if (paid) {
        stamp.SetWidthPx(151);
        stamp.enabled = true;
        stamp.SetTopPx(postal ? 892 : 1036);
    } else {
        stamp.SetWidthPx(0);
        stamp.enabled = false;
    }

    // 24. Issuing user under the signature line.
    std::string issuer = "Kiállította";
    if (SetupMainInt(dm, "kiallito_feltuntetese_a_bizonylatokon_es_leveleken") == 1) {
        TUserInfo user;
        dm.GetUserInfo(HeaderText(rep, "c_userid"), user);
        issuer = "Kiállította: " + user.nev;
    }
    control("QRLabel_10145").caption = issuer;
    // 25. The cursor returns with `cursor`.
}

}  // namespace dorvan::invoice
