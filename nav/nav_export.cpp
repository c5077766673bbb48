#include "nav/nav_export.h"

#include <QSaveFile>
#include <QString>
#include <map>

#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"
#include "db/date_time.h"
#include "nav/nav_xml_writer.h"

namespace dorvan::nav {
namespace {

const std::vector<std::string> kAfaKulcsSql = {
    "select kod, lang_0000040e, afakulcs, mentes, forditott_adozas, nav_kategoria, nav_eset,",
    "       nav_indoklas",
    "  from afa_kulcs",
    "  where kod = :kod",
};
const std::vector<std::string> kFizetesmodSql = {
    "select nav_fizetesmod, keszpenzes, halasztott_fizetesu",
    "  from fizetesmod",
    "  where kod = :kod",
};
// The partner's community VAT number and personal tax id, and whether it records a natural
// person's data.
const std::vector<std::string> kPartnerSql = {
    "select adoszam_eu, adoazonosito,",
    "       (szuletesi_datum is not null or coalesce(anyja_neve, '') <> ''",
    "        or coalesce(szuletesi_nev, '') <> '' or coalesce(taj_szam, '') <> '')::integer",
    "         as maganszemely",
    "  from partner",
    "  where kod = :kod",
};
// The issue date of the reversed invoice.
const std::vector<std::string> kEredetiKelteSql = {
    "select kelte",
    "  from raktar_mozgas_fej",
    "  where kod = :eredeti",
};
// How many documents, up to this one, reverse the same original.
const std::vector<std::string> kModositasSql = {
    "select count(*) as db",
    "  from raktar_mozgas_fej",
    "  where sztornozott_bizonylat_kod = :eredeti and kod <= :kod",
};
// The lines the original printed.
const std::vector<std::string> kEredetiSorokSql = {
    "select count(*) as db",
    "  from raktar_mozgas",
    "  where fej_kod = :eredeti and fobizonylaton_nem_jelenik_meg = 0",
};

// A date column as YYYY-MM-DD; "" when it is empty.
std::string DateField(const db::DataSet& d, const std::string& column) {
    if (IsNullField(d, column))
        return "";
    return db::FormatPgDate(d.FieldByName(column).AsDateTime());
}

TNavVatKeySource ReadVatKey(TDM& dm, int kod) {
    TNavVatKeySource key;
    key.kod = kod;
    const auto q = OpenQuery(dm.ZConnection, "NavAfaKulcsSQL", kAfaKulcsSql, {{"kod", kod}});
    if (q->IsEmpty())
        throw NavDataError("Az adóhatósági számlaadat nem készíthető el: nincs " +
                           std::to_string(kod) + " kódú ÁFA-kulcs");
    key.nev = TextField(*q, "lang_0000040e");
    key.afakulcs = FloatField(*q, "afakulcs");
    key.mentes = IntField(*q, "mentes");
    key.forditott_adozas = IntField(*q, "forditott_adozas");
    key.nav_kategoria = TextField(*q, "nav_kategoria");
    key.nav_eset = TextField(*q, "nav_eset");
    key.nav_indoklas = TextField(*q, "nav_indoklas");
    return key;
}

}  // namespace

TNavInvoiceSource ReadNavInvoiceSource(TDM& dm, const InvoiceSelection& properties) {
    TInvoiceDatasets data(dm, properties);
    data.ReopenAll();
    if (data.HeaderEmpty())
        throw NavDataError("Nincs ilyen bizonylat.");
    db::Query& fej = data.Raktar_mozgas_fejZReadOnlyQuery;
    db::Query& tetel = data.Raktar_mozgasZReadOnlyQuery;

    TNavInvoiceSource s;
    const int kod = IntField(fej, "kod");
    s.bizonylat_fajta = IntField(fej, "bizonylat_fajta");
    s.bizonylatszam = TextField(fej, "Bizonylatszam");
    s.kelte = DateField(fej, "kelte");
    s.telj_datum = DateField(fej, "telj_datum");
    s.fiz_hatarido = DateField(fej, "fiz_hatarido");
    s.deviza_nev = TextField(fej, "deviza_nev");
    s.deviza_arfolyam = FloatField(fej, "deviza_arfolyam");
    s.netto_arbevetel_vegosszeg = FloatField(fej, "netto_arbevetel_vegosszeg");
    s.afa_arbevetel_vegosszeg = FloatField(fej, "afa_arbevetel_vegosszeg");
    s.brutto_arbevetel_vegosszeg = FloatField(fej, "brutto_arbevetel_vegosszeg");
    s.netto_arbevetel_vegosszeg_huf = FloatField(fej, "netto_arbevetel_vegosszeg_HUF");
    s.afa_arbevetel_vegosszeg_huf = FloatField(fej, "afa_arbevetel_vegosszeg_HUF");
    s.brutto_arbevetel_vegosszeg_huf = FloatField(fej, "brutto_arbevetel_vegosszeg_HUF");

    // Payment method.
    {
        const auto q = OpenQuery(dm.ZConnection, "NavFizetesmodSQL", kFizetesmodSql,
                                 {{"kod", IntField(fej, "fizetesmod_kod")}});
        if (!q->IsEmpty()) {
            s.nav_fizetesmod = TextField(*q, "nav_fizetesmod");
            s.keszpenzes = IntField(*q, "keszpenzes");
            s.halasztott_fizetesu = IntField(*q, "halasztott_fizetesu");
        }
    }

    // Supplier: the issuer of the printed invoice.
    TKiallito kiallito;
    dm.GetKiallito(kod, properties.prev, kiallito);
    s.kiallito.nev = kiallito.nev1;
    s.kiallito.iszam = kiallito.iszam;
    s.kiallito.telepules = kiallito.telepules;
    s.kiallito.cim = kiallito.cim;
    s.kiallito.adoszam = kiallito.adoszam;
    s.kiallito.adoszam_eu = kiallito.adoszam_eu;
    s.kiallito.bank_szamlaszam = kiallito.bank_szamlaszam;
    s.kiallito.bank_szamlaszam_iban = kiallito.bank_szamlaszam_iban;

    // Customer: as printed, with the partner's community VAT number and personal tax id.
    s.vevo.kod = IntField(fej, "partner_kod");
    s.vevo.nev = TextField(fej, "nev");
    s.vevo.iszam = TextField(fej, "iszam");
    s.vevo.telepules = TextField(fej, "telepules");
    s.vevo.cim = TextField(fej, "cim");
    s.vevo.orszag = TextField(fej, "orszag");
    s.vevo.adoszam = TextField(fej, "adoszam");
    {
        const auto q =
            OpenQuery(dm.ZConnection, "NavPartnerSQL", kPartnerSql, {{"kod", s.vevo.kod}});
        if (!q->IsEmpty()) {
            s.vevo.adoszam_eu = TextField(*q, "adoszam_eu");
            s.vevo.adoazonosito = TextField(*q, "adoazonosito");
            s.vevo.maganszemely = IntField(*q, "maganszemely") == 1;
        }
    }

    // Lines in the printed order.
    std::map<int, TNavVatKeySource> keys;
    for (tetel.First(); !tetel.Eof(); tetel.Next()) {
        TNavLineSource line;
        line.leiras = TextField(tetel, "Masodik_sor");
        line.tetel_azonosito_kod = TextField(tetel, "tetel_azonosito_kod");
        line.tetel_tipus = IntField(tetel, "tetel_tipus");
        line.mennyiseg = FloatField(tetel, "mennyiseg");
        line.mee = TextField(tetel, "mee");
        line.netto_egysegar = FloatField(tetel, "netto_egysegar");
        line.netto_egysegar_huf = FloatField(tetel, "netto_egysegar_huf");
        line.netto_arbevetel = FloatField(tetel, "netto_arbevetel");
        line.netto_arbevetel_huf = FloatField(tetel, "netto_arbevetel_huf");
        line.brutto_arbevetel = FloatField(tetel, "brutto_arbevetel");
        line.brutto_arbevetel_huf = FloatField(tetel, "brutto_arbevetel_huf");
        const int afakulcs = IntField(tetel, "afakulcs");
        auto found = keys.find(afakulcs);
        if (found == keys.end())
            found = keys.emplace(afakulcs, ReadVatKey(dm, afakulcs)).first;
        line.afa = found->second;
        s.tetelek.push_back(std::move(line));
    }

    // A reversing document modifies the invoice it reverses.
    const int eredeti = IntField(fej, "sztornozott_bizonylat_kod");
    if (eredeti != 0) {
        dm.GetFobizonylat(eredeti, s.sztornozott_szamlaszam);
        if (s.sztornozott_szamlaszam.empty())
            throw NavDataError(
                "Az adóhatósági számlaadat nem készíthető el: hiányzik a sztornózott számla "
                "sorszáma");
        const auto index = OpenQuery(dm.ZConnection, "NavModositasSQL", kModositasSql,
                                     {{"eredeti", eredeti}, {"kod", kod}});
        s.modositas_index = IntField(*index, "db");
        const auto sorok = OpenQuery(dm.ZConnection, "NavEredetiSorokSQL", kEredetiSorokSql,
                                     {{"eredeti", eredeti}});
        s.eredeti_sorok_szama = IntField(*sorok, "db");
        const auto kelte = OpenQuery(dm.ZConnection, "NavEredetiKelteSQL", kEredetiKelteSql,
                                     {{"eredeti", eredeti}});
        if (!kelte->IsEmpty())
            s.eredeti_kelte = DateField(*kelte, "kelte");
    }
    return s;
}

TNavExport BuildNavExport(TDM& dm, const InvoiceSelection& properties,
                          const TNavExportOptions& options) {
    TNavInvoiceSource source = ReadNavInvoiceSource(dm, properties);
    source.megjelenes = options.appearance;
    source.eredeti_jelentve = options.originalReported;
    TNavExport result;
    result.invoice = BuildNavInvoice(source);
    result.context.today = options.today.empty() ? db::FormatPgDate(dm.GetDate()) : options.today;
    if (result.invoice.reference) {
        result.context.chainLineCount = source.eredeti_sorok_szama;
        result.context.originalReported = source.eredeti_jelentve;
    }
    std::vector<TNavFinding> findings = CheckNavInvoice(result.invoice, result.context);
    // A finding about a line's VAT case names the VAT key it comes from.
    for (TNavFinding& f : findings) {
        const bool vatCase = f.code == "INVALID_VAT_DATA" ||
                             f.code == "INVALID_LINE_VAT_EXEMPTION_CODE" ||
                             f.code == "INVALID_LINE_VAT_OUT_OF_SCOPE_CODE" ||
                             f.code == "DOMESTIC_TAXNUMBER_EXPECTED_REVERSE_CHARGE" ||
                             f.code.rfind("INCORRECT_LINE_DATA_VAT", 0) == 0;
        if (vatCase && f.line >= 1 && f.line <= static_cast<int>(source.tetelek.size())) {
            const TNavVatKeySource& key = source.tetelek[static_cast<std::size_t>(f.line - 1)].afa;
            f.message += " [ÁFA-kulcs: " + std::to_string(key.kod) + " " + key.nev + "]";
        }
    }
    RejectErrors(findings);
    result.warnings = Findings(findings, TNavSeverity::Warning);
    result.xml = WriteNavInvoiceXml(result.invoice);
    return result;
}

std::string NavInvoiceXml(TDM& dm, const InvoiceSelection& properties) {
    return BuildNavExport(dm, properties).xml;
}

TNavExport ExportNavXml(TDM& dm, const InvoiceSelection& properties, const std::string& path,
                        const TNavExportOptions& options) {
    // Everything is built and checked before the file is touched.
    TNavExport result = BuildNavExport(dm, properties, options);
    const std::string& xml = result.xml;
    QSaveFile file(QString::fromStdString(path));
    const auto fail = [&](const QString& reason) {
        file.cancelWriting();
        throw NavFileError("A fájl nem írható: " + path + ": " + reason.toStdString());
    };
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (file.write(xml.data(), static_cast<qint64>(xml.size())) != static_cast<qint64>(xml.size()))
        fail(file.errorString());
    if (!file.commit())
        fail(file.errorString());
    return result;
}

std::string OperationLine(const TNavInvoice& invoice) {
    std::string line = OperationName(invoice.operation);
    if (invoice.reference)
        line += "\t" + std::to_string(invoice.reference->modificationIndex) + "\t" +
                invoice.reference->originalInvoiceNumber;
    return line;
}

}  // namespace dorvan::nav
