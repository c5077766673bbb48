#include "report/invoice/band_rules.h"

#include "datamodule/core/lib_common.h"
#include "datamodule/dm.h"
#include "report/invoice/header_preparation.h"
#include "report/invoice/szamlabizonylat.h"

namespace dorvan::invoice {

using report::Band;

int IntOf(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return 0;
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok ? static_cast<int>(d) : 0;
}

double FloatOf(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return 0;
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok ? d : 0;
}

std::string TextOf(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    return value.toString().toStdString();
}

QColor ColourFromSetting(int bgr, const QColor& zeroColour) {
    if (bgr == 0)
        return zeroColour;
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QColor DetailColour(int detailNumber, int nyomtatvanySorkiemeles) {
    if (detailNumber % 2 != 0)
        return QColor(Qt::white);
    return ColourFromSetting(nyomtatvanySorkiemeles, QColor(Qt::white));
}

bool RoundingPrints(double kerekites) {
    return lib_roundTo(2, kerekites) != 0;
}

namespace {

// The rules share the report object: settings through its data module, the header and the
// current line through its datasets.
class Rules {
  public:
    explicit Rules(TQuickRep_szamlabizonylat& rep) : rep_(rep) {}

    int Setting(const char* name) const { return SetupMainInt(rep_.Dm(), name); }
    QVariant Header(const char* column) const { return rep_.Data().Header().Value(column); }
    QVariant Line(const char* column) const { return rep_.Data().Lines().Value(column); }
    bool HeaderTextSet(const char* column) const { return !TextOf(Header(column)).empty(); }
    void Show(const char* control, bool on) const {
        rep_.Design().ControlByName(control).enabled = on;
    }

    bool DiscountDetailPrints() const {
        return Setting("kedvezmeny_reszletezes_a_fobizonylaton") == 1 &&
               FloatOf(Line("kedvezmeny_szazalek")) > 0 &&
               IntOf(Header("partner_kedvezmeny_megj_tiltasa")) == 0;
    }

    TQuickRep_szamlabizonylat& rep_;
};

}  // namespace

void InstallBandRules(TQuickRep_szamlabizonylat& rep) {
    report::Report& r = rep.Design();
    const Rules rules(rep);

    r.SetBeforePrint("QRChildBand_szall", [rules](Band& band, bool& print) {
        print = rules.Setting("szallitasi_cim_sorok_a_szamlan") == 1 &&
                !band.ControlByName("QRMemo_szallitasi_cim").lines.empty();
    });
    r.SetBeforePrint("ChildBand4", [rules](Band&, bool&) {
        const std::string& column =
            rules.rep_.Design().ControlByName("QRDBText_raktar_mozgas_bizonylat").field;
        const bool on = rules.Setting("szamla_raktarmozgas_bizonylat_megjelenites") == 1 &&
                        !TextOf(rules.rep_.Data().Header().Value(column)).empty();
        rules.Show("QRLabel_10075", on);
        rules.Show("QRLabel_10075_lang", on && rules.rep_.languageLabelsShown);
    });
    r.SetBeforePrint("ChildBand7", [rules](Band&, bool&) {
        rules.Show("QRDBText_raktar_mozgas_bizonylat",
                   rules.Setting("szamla_raktarmozgas_bizonylat_megjelenites") == 1);
    });
    const auto headerNote = [&r, rules](const char* band, const char* column) {
        r.SetBeforePrint(
            band, [rules, column](Band&, bool& print) { print = rules.HeaderTextSet(column); });
    };
    headerNote("ChildBandMozgasnemLeiras", "Megjegyzes");
    headerNote("ChildBand11", "sztorno_megjegyzes");
    headerNote("ChildBand1", "forras_bizonylat_leiras");
    headerNote("ChildBand13", "projekt_zaradek");
    headerNote("ChildBand_zaradek", "zaradek");
    headerNote("ChildBand_lang13", "zaradek_langtext");
    r.SetBeforePrint("ChildBand10", [rules](Band&, bool& print) {
        print = !rules.rep_.Design().ControlByName("QRLabel_MozgasnemLeiras").caption.empty();
    });
    r.SetBeforePrint("QRGroup_gyujtoszamla", [rules](Band&, bool&) {
        const QVariant date = rules.Line("eredeti_szallito_telj_datum");
        const bool none = !date.isValid() || date.isNull();
        rules.Show("QRLabel_nemszall", none);
        rules.Show("QRDBText_szall", !none);
        rules.Show("QRLabel_szall", !none);
    });
    r.SetBeforePrint("QRBand_Detail", [rules](Band& band, bool&) {
        const QColor colour = DetailColour(rules.rep_.Design().detailNumber,
                                           rules.rep_.Dm().Settings().Nyomtatvany_sorkiemeles);
        band.colour = colour;
        for (const char* child : {"ChildBand_masodik_sor", "ChildBand_lang8", "ChildBand_Lang5"})
            rules.rep_.Design().BandByName(child).colour = colour;
    });
    r.SetBeforePrint("ChildBand_masodik_sor", [rules](Band&, bool&) {
        const bool vat = IntOf(rules.Line("afa_mentes")) != 1;
        rules.Show("QRDBText_afaszazalek", vat);
        rules.Show("QRDBText_afaosszeg", vat);
    });
    r.SetBeforePrint("ChildBand_kedvezmeny",
                     [rules](Band&, bool& print) { print = rules.DiscountDetailPrints(); });
    r.SetBeforePrint("ChildBand_Lang15", [rules](Band&, bool& print) {
        print = rules.DiscountDetailPrints() && !rules.rep_.nyelv.empty();
    });
    r.SetBeforePrint("QRBand_GF1", [rules](Band&, bool&) {
        rules.Show("QRExpr_Afaosszeg", IntOf(rules.Line("afa_mentes")) != 1);
    });
    r.SetBeforePrint("QRBand_Summary", [rules](Band&, bool& print) {
        print = RoundingPrints(FloatOf(rules.Header("kerekites")));
    });
    r.SetBeforePrint("ChildBand8", [rules](Band&, bool& print) {
        print = FloatOf(rules.Header("netto_kedvezmeny_HUF")) > 0 &&
                FloatOf(rules.Header("brutto_arbevetel_vegosszeg_HUF")) > 0 &&
                IntOf(rules.Header("partner_kedvezmeny_megj_tiltasa")) == 0;
    });
}

}  // namespace dorvan::invoice
