#include "report/invoice/header_preparation.h"

#include <QByteArray>
#include <algorithm>
#include <cctype>

#include "config/lib_strings.h"
#include "config/temp_folder.h"
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

struct PictureSettings {
    const char* tipus;
    const char* szamla;
    const char* grafika;
    const char* nyujtas;
    const char* magassag;
};

// Letterhead or footer picture: loaded from the settings through the temporary file when
// switched on; the picture's height in millimetres (0 when off).
double PreparePicture(TQuickRep_szamlabizonylat& rep, report::Control& picture,
                      const PictureSettings& s, double printableWidth) {
    TDM& dm = rep.Dm();
    if (SetupMainInt(dm, s.tipus) == 2 && SetupMainInt(dm, s.szamla) == 1) {
        picture.enabled = true;
        picture.LoadPictureFromFile(
            rep.TempFolder().WriteFile(kLetterFile, ByteaBytes(SetupMainText(dm, s.grafika))));
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

namespace {

// What every step of the preparation works on.
struct Preparation {
    TQuickRep_szamlabizonylat& rep;
    report::Report& r;
    TDM& dm;
    InvoiceData& data;
    const InvoiceSelection& selection;
    bool bilingual;

    report::Control& Control(const char* name) { return r.ControlByName(name); }
    report::Band& Band(const char* name) { return r.BandByName(name); }
    std::string HeaderText(const char* column) { return TextOf(data.Header().Value(column)); }
    int HeaderInt(const char* column) { return IntOf(data.Header().Value(column)); }
};

// The column header, subtotal and total bands in the highlight colour of the settings.
void HighlightTotalBands(Preparation& p) {
    const QColor highlight =
        ColourFromSetting(p.dm.Settings().Bizonylat_sorkiemeles, kDefaultHighlight);
    for (const char* name : {"HeaderBand2", "ChildBand_Lang9", "ChildBand16", "ChildBand_Lang2",
                             "QRBand_GF2", "ChildBand_Lang12", "ChildBand12", "ChildBand_Lang6",
                             "QRBand_Summary", "ChildBand_sum2", "ChildBand_Lang7"})
        p.Band(name).colour = highlight;
}

// Payment methods are read afresh at every print.
void ForgetPaymentMethods(Preparation& p) {
    p.dm.GetFizmodInfoZQuery.Close();
}

// The title and the copy label as wide as the title band; the letterhead picture above the
// title pushes it down.
void PrepareTitleBandAndLetterhead(Preparation& p) {
    p.Control("QRLabel_10000").SetWidthPx(p.r.PrintableWidthPx());
    p.Control("QRLabel_peldany").SetWidthPx(p.r.PrintableWidthPx());
    const double letterHeight =
        PreparePicture(p.rep, p.Control("QRImage_Felado"),
                       {"level_fejresz_tipus", "szamla_level_fejresz", "level_fejresz_grafika",
                        "level_fejresz_grafika_nyujtas", "level_fejresz_grafika_magassag"},
                       p.r.PrintableWidth());
    p.Band("QRBandTitle").height = letterHeight + 7.8;
    p.Control("QRLabel_10000").top = letterHeight + 2;
}

// The footer picture with the product line under it.
void PrepareFooterPicture(Preparation& p) {
    report::Band& footer = p.Band("ChildBand_tulajdonos");
    report::Control& footerPicture = p.Control("QRImage_labresz");
    report::Control& productLine = p.Control("QRLabel_Tulajdonos");
    if (SetupMainInt(p.dm, "level_labresz_tipus") == 2 &&
        SetupMainInt(p.dm, "szamla_level_labresz") == 1) {
        const double h =
            PreparePicture(p.rep, footerPicture,
                           {"level_labresz_tipus", "szamla_level_labresz", "level_labresz_grafika",
                            "level_labresz_grafika_nyujtas", "level_labresz_grafika_magassag"},
                           p.r.PrintableWidth());
        productLine.top = h + 1;
        footer.height = productLine.height + h + 1;
    } else {
        footer.SetHeightPx(12);
        productLine.top = 0;
        footerPicture.enabled = false;
        footerPicture.height = 0;
    }
    productLine.SetWidthPx(p.r.PrintableWidthPx());
    footerPicture.SetWidthPx(p.r.PrintableWidthPx());
}

// The quantity total in the grand-total row, when the settings ask for it.
void ShowQuantityTotal(Preparation& p) {
    const bool quantityTotal =
        SetupMainInt(p.dm, "szamla_egysegek_osszesitese_a_vegosszegsorban") == 1;
    for (const char* name :
         {"QRLabel_egyseg_osszeg", "QRExpr_egyseg_osszeg", "QRLabel_egyseg_osszeg_mee"})
        p.Control(name).enabled = quantityTotal;
}

void SetCopyLabel(Preparation& p) {
    const CopyLabel copy =
        CopyLabelOf(p.selection.peldanyszam, p.selection.peldany, p.selection.prev);
    p.Control("QRLabel_peldany").caption = copy.caption;
    p.Control("QRLabel_peldany").font.colour = copy.colour;
}

// The fixed text of the settings, through its temporary file.
void PrepareFixedText(Preparation& p) {
    report::Band& fixedText = p.Band("ChildBand_allandoszoveg");
    fixedText.enabled = !SetupMain(p.dm).FieldByName("szamla_allandoszoveg").IsNull();
    if (!fixedText.enabled)
        return;
    report::Control& rich = p.Control("QRRichText_allandoszoveg");
    rich.richText.clear();
    rich.LoadRichTextFromFile(
        p.rep.TempFolder().WriteFile(kFixedTextFile, SetupMainText(p.dm, "szamla_allandoszoveg")));
}

// The datasets read afresh; the sign subtotals print when the lines of some VAT key have
// more than one sign. Returns whether they print.
bool ReopenDatasets(Preparation& p) {
    report::Band& signFooter = p.Band("QRBand_GF2");
    signFooter.enabled = p.data.Reopen();
    p.Band("QRGroup_gyujtoszamla").enabled = p.data.GyujtoszamlaGroupEnabled();
    return signFooter.enabled;
}

// A preview has no document number yet.
void ChooseDocumentNumberFields(Preparation& p) {
    const bool preview = p.selection.prev != 0;
    p.Control("QRDBText_bizonylatszam").field = preview ? "_prev_bizonylat" : "Bizonylatszam";
    p.Control("QRDBText_bizonylatszam2").field = preview ? "_prev_bizonylat" : "Bizonylatszam";
    p.Control("QRDBText_raktar_mozgas_bizonylat").field =
        preview ? "_prev_bizonylat" : "raktar_mozgas_bizonylat";
}

void SetDiscountTemplates(Preparation& p) {
    p.Control("QRExprMemo_kedv").lines = {SetupMainText(p.dm, "lang_0000040e")};
    if (p.bilingual) {
        const std::string L = p.selection.nyelv == "0" ? "0000040e" : p.selection.nyelv;
        p.Control("QRExprMemo_kedv_langtext").lines = {SetupMainText(p.dm, "lang_" + L)};
    }
}

// The second-language bands and captions, with the document-language texts read afresh.
void PrepareSecondLanguage(Preparation& p, bool signFooterOn) {
    p.dm.GetBizonylat_nyelvZQuery.Close();
    for (const char* name :
         {"ChildBand_Lang1", "ChildBand_Lang2", "ChildBand_Lang3", "ChildBand_Lang4",
          "ChildBand_Lang5", "ChildBand_Lang6", "ChildBand_Lang7", "ChildBand_lang8",
          "ChildBand_Lang9", "ChildBand_Lang10", "ChildBand_Lang11", "ChildBand_lang13"})
        p.Band(name).enabled = p.bilingual;
    p.Band("ChildBand_Lang12").enabled = p.bilingual && signFooterOn;
    p.Band("QRBand_GF2").frame.bottom = !p.bilingual;

    SetReportLanguage(p.r, p.dm, p.selection.nyelv);
    p.rep.languageLabelsShown = p.bilingual && p.Control("QRLabel_10000_lang").enabled;

    if (p.bilingual)
        for (const char* name :
             {"QRDBText_fizetesmod_szla_langtext", "QRDBText_masodik_sor_langtext",
              "QRDBText_mee_langtext", "QRDBText_afa_leiras_langtext",
              "QRDBText_elojel_leiras_lengtext", "QRDBText_zaradek_langtext"})
            SetDBTextLanguageFont(p.Control(name), p.dm, p.selection.nyelv);
}

// Caption pairs: Hungarian label, slash, second-language label, value, side by side.
void PlaceCaptionPairs(Preparation& p) {
    p.Control("QRLabel_10135_after").caption = DiscountTotalText(
        FloatOf(p.data.Header().Value("netto_kedvezmeny")), p.HeaderText("deviza_nev"));
    struct Pair {
        const char* label;
        const char* slash;
        const char* lang;
        const char* value;
    };
    constexpr double kGapPx = 4;
    for (const Pair& pair :
         {Pair{"QRLabel_10010", "QRLabel_10010_slash", "QRLabel_10010_lang", nullptr},
          Pair{"QRLabel_10015", "QRLabel_10015_Slash", "QRLabel_10015_Lang", nullptr},
          Pair{"QRLabel_10005", "QRLabel_10005_slash", "QRLabel_10005_lang", "QRLabel_10005_after"},
          Pair{"QRLabel_10135", "QRLabel_10135_slash", "QRLabel_10135_lang",
               "QRLabel_10135_after"}}) {
        report::Control& label = p.Control(pair.label);
        report::Control& slash = p.Control(pair.slash);
        report::Control& lang = p.Control(pair.lang);
        slash.enabled = p.bilingual;
        // A label the language table could not give stays hidden.
        lang.enabled = p.bilingual && lang.enabled;
        slash.SetLeftPx(label.LeftPx() + label.WidthPx() + kGapPx);
        lang.SetLeftPx(slash.LeftPx() + slash.WidthPx() + kGapPx);
        if (pair.value) {
            report::Control& value = p.Control(pair.value);
            value.SetLeftPx(slash.enabled ? lang.LeftPx() + lang.WidthPx() + kGapPx
                                          : label.LeftPx() + label.WidthPx() + kGapPx);
        }
    }
    p.Control("QRLabel8").enabled = p.bilingual;
}

void SetTitle(Preparation& p) {
    p.Control("QRLabel_10000").caption =
        InvoiceTitle(p.HeaderInt("sztornozott_bizonylat_kod"), p.HeaderInt("bizonylat_fajta"));
}

// The stock-movement description, when the settings ask for it and the document moved stock.
void DescribeMovement(Preparation& p) {
    report::Control& movement = p.Control("QRLabel_MozgasnemLeiras");
    movement.caption.clear();
    if (SetupMainInt(p.dm, "szamla_mozgasnemleiras") == 1 &&
        !p.HeaderText("raktar_mozgas_bizonylat").empty())
        movement.caption =
            GetMozgasnemLeiras(p.dm, p.HeaderInt("mozgasnem_kod"), p.HeaderInt("forras_raktar_kod"),
                               p.HeaderInt("cel_raktar_kod"));
}

// The postal address block for window envelopes and the delivery address. Returns whether
// the postal block prints.
bool PrepareAddresses(Preparation& p) {
    const bool postal = SetupMainInt(p.dm, "szamla_postacimzes") == 1;
    p.Band("ChildBandPostaiCimzes").SetHeightPx(postal ? 151 : 1);
    report::Control& recipient = p.Control("QRMemo_cimzett");
    recipient.enabled = postal;
    recipient.top = SetupMainInt(p.dm, "szamla_postacimzes_y");
    recipient.left = SetupMainInt(p.dm, "szamla_postacimzes_x");
    const bool postalName = !p.HeaderText("postacim_nev").empty();
    const std::vector<std::string> postalAddress =
        AddressLines(p.HeaderText("postacim_nev"), p.HeaderText("postacim_telepules"),
                     p.HeaderText("postacim_cim"), p.HeaderText("postacim_iszam"),
                     p.HeaderText("postacim_orszag"));
    if (postal)
        recipient.lines = postalName ? postalAddress
                                     : AddressLines(p.HeaderText("nev"), p.HeaderText("telepules"),
                                                    p.HeaderText("cim"), p.HeaderText("iszam"),
                                                    p.HeaderText("orszag"));

    report::Control& delivery = p.Control("QRMemo_szallitasi_cim");
    delivery.lines.clear();
    if (SetupMainInt(p.dm, "szallitasi_cim_sorok_a_szamlan") == 1 && postalName)
        delivery.lines = postalAddress;
    return postal;
}

// The paid stamp on invoices paid at once (a known payment method without deferral).
void PlacePaidStamp(Preparation& p, bool postal) {
    report::Control& stamp = p.Control("QRImage_fizetve");
    bool paid = false;
    if (SetupMainInt(p.dm, "fizetve_felirat_azonnali_szamlan") == 1) {
        TFizmodInfo fizmod;
        p.dm.GetFizmodInfo(p.HeaderInt("fizetesmod_kod"), "0", fizmod);
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
}

// The issuing user under the signature line.
void NameIssuer(Preparation& p) {
    std::string issuer = "Kiállította";
    if (SetupMainInt(p.dm, "kiallito_feltuntetese_a_bizonylatokon_es_leveleken") == 1) {
        TUserInfo user;
        p.dm.GetUserInfo(p.HeaderText("c_userid"), user);
        issuer = "Kiállította: " + user.nev;
    }
    p.Control("QRLabel_10145").caption = issuer;
}

}  // namespace

void QuickRepBeforePrint(TQuickRep_szamlabizonylat& rep) {
    const WaitCursor cursor;  // back to normal at the end, also after an error
    Preparation p{rep,        rep.Design(),  rep.Dm(),
                  rep.Data(), rep.selection, !rep.selection.nyelv.empty()};
    HighlightTotalBands(p);
    ForgetPaymentMethods(p);
    PrepareTitleBandAndLetterhead(p);
    PrepareFooterPicture(p);
    ShowQuantityTotal(p);
    SetCopyLabel(p);
    PrepareFixedText(p);
    const bool signFooterOn = ReopenDatasets(p);
    ChooseDocumentNumberFields(p);
    SetDiscountTemplates(p);
    PrepareSecondLanguage(p, signFooterOn);
    PlaceCaptionPairs(p);
    SetTitle(p);
    DescribeMovement(p);
    const bool postal = PrepareAddresses(p);
    PlacePaidStamp(p, postal);
    NameIssuer(p);
}

}  // namespace dorvan::invoice
