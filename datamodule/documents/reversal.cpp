// Document reversal.

#include "datamodule/documents/reversal.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "config/main_table.h"
#include "config/ui_port.h"
#include "datamodule/core/lib_common.h"
#include "datamodule/dm.h"
#include "datamodule/silent_abort.h"
#include "datamodule/support/service_support.h"
#include "db/errors.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

constexpr const char* kCr = "\r";

// `sztornozo_bizonylat_kod` of a document whose reversal is under way.
constexpr int kBeingReversed = -1;

// Floating-point columns that keep their sign in a reversal.
constexpr const char* kKeepSign[] = {
    "deviza_arfolyam",    "forras_raktar_atlagar", "forras_raktar_fifo_ar", "netto_egysegar",
    "netto_egysegar_huf", "brutto_egysegar",       "brutto_egysegar_huf"};

bool KeepsSign(const std::string& lowerName) {
    return std::any_of(std::begin(kKeepSign), std::end(kKeepSign),
                       [&](const char* n) { return lowerName == n; });
}

bool IsFobizKind(int kind) {
    return kind == 2 || kind == 3 || kind == 4 || kind == 5 || kind == 13 || kind == 16;
}

bool GetsNewNumber(int kind) {
    return (kind >= 2 && kind <= 5) || (kind >= 9 && kind <= 17);
}

void Set(db::DataSet& q, const char* name, const db::Value& value) {
    q.FieldByName(name).SetValue(value);
}

// An empty query of `table`: its new row's columns follow the table.
std::unique_ptr<db::Query> EmptyOf(TDM& dm, const char* name, const char* table) {
    auto q = OpenQuery(dm.ZConnection, name,
                       {"select *", std::string("  from ") + table, "  where kod = 0"});
    dm.AutoDisableReqField(*q);
    return q;
}

}  // namespace

void lib_copyFields(const db::DataSet& source, db::DataSet& target, int sign) {
    for (int i = 0; i < source.FieldCount(); ++i) {
        const db::Field& from = source.Fields(i);
        if (from.Calculated())
            continue;
        const std::string name = AsciiLower(from.FieldName());
        db::Field* to = target.FindField(from.FieldName());
        if (name == "kod") {
            if (to != nullptr)
                to->SetRequired(false);
            continue;
        }
        if (to == nullptr || to->Calculated() || from.IsNull())
            continue;
        db::Value value = from.AsValue();
        if (from.DataType() == db::FieldType::Float && !KeepsSign(name))
            value = db::Value(from.AsFloat() * sign);
        const db::Value coerced = to->Coerce(value);
        if (!(coerced == to->AsValue()))
            to->SetValue(coerced);
    }
}

std::string lib_constraintMessage(const std::string& errorText) {
    static const std::string kItem =
        "A művelet hatására a szabadkészlet negatívba lépne az egyik tétel esetén.";
    static const std::string kPiece =
        "A művelet hatására a szabadkészlet negatívba lépne az egyik tétel egyednyilvántartásán "
        "belül.";
    const auto has = [&](const char* name) { return errorText.find(name) != std::string::npos; };
    std::string result;
    if (has("tetel_raktar_ch3") || has("tetel_raktar_ch1") || has("tetel_raktar_ch2"))
        result = kItem;
    if (has("tetel_raktar_egyedi_ch3") || has("tetel_raktar_egyedi_ch1") ||
        has("tetel_raktar_egyedi_ch2"))
        result = kPiece;
    if (has("raktar_mozgas_ch1"))
        result = kItem;
    return result;
}

TDateTime Reversal::IssueTime() {
    if (lastSignTime_ != 0)
        return lastSignTime_;
    if (dm_.LastSignTime() != 0)
        return dm_.LastSignTime();
    if (MainTable().LastSignTime != 0)
        return MainTable().LastSignTime;
    return dm_.GetDateTime().DateTime;
}

bool Reversal::LockDocument(int kod, std::optional<db::Transaction>& lock) {
    const auto attempt = [&] {
        if (!lockConnection_)
            lockConnection_ = std::make_unique<db::Connection>("ZConnection_sztorno");
        const db::ConnectionParams& wanted = dm_.ZConnection.Params();
        const db::ConnectionParams& own = lockConnection_->Params();
        const bool sameServer = own.host == wanted.host && own.port == wanted.port &&
                                own.database == wanted.database && own.user == wanted.user &&
                                own.password == wanted.password;
        if (!lockConnection_->Connected() || !sameServer) {
            lockConnection_->SetParams(wanted);
            lockConnection_->Connect();
        }
        lock.emplace(*lockConnection_);
        auto q = OpenQuery(
            *lockConnection_, "SztornoZarSQL",
            {"SELECT pg_try_advisory_xact_lock(hashtext('raktar_mozgas_fej sztorno'), :kod)",
             "  AS zar"},
            {{"kod", kod}});
        return q->FieldByName("zar").AsBoolean();
    };
    try {
        return attempt();
    } catch (const db::ConnectionFailure&) {
        // The connection was lost since the last reversal: once more on a new one.
        lock.reset();
        lockConnection_->Disconnect();
        return attempt();
    }
}

int Reversal::BizonylatSztorno(int kod, bool stop, bool useTransaction, bool keepTime) {
    TDM& dm = dm_;
    db::Connection& conn = dm.ZConnection;
    UiPort& ui = dm.UserInterface();
    const std::string dialog = std::string(kApplicationTitle) + " dialog";

    if (stop) {
        ui.ShowMessage("Sztornózás leállítva",
                       "A sztornózás felhasználói megszakítás miatt nem folytatódik.",
                       MessageIcon::Information);
        return 0;
    }

    auto fej =
        OpenQuery(conn, "SztornoFejSQL",
                  {"select *", "  from Raktar_mozgas_fej", "  where kod = :kod"}, {{"kod", kod}});
    dm.AutoDisableReqField(*fej);
    auto sorok =
        OpenQuery(conn, "SztornoSorSQL",
                  {"select *", "  from Raktar_mozgas", "  where fej_kod = :kod", "  order by kod"},
                  {{"kod", kod}});
    dm.AutoDisableReqField(*sorok);
    const int kind = fej->IsEmpty() ? 0 : IntField(*fej, "bizonylat_fajta");
    const bool deliveryNote = kind == ToInt(BizonylatFajta::SzallitosEladas);

    // A delivery note: the invoices made from it, and nothing to do when all is invoiced.
    dm.SzallitoSzamlaLista.clear();
    if (deliveryNote) {
        double open = 0;
        for (sorok->First(); !sorok->Eof(); sorok->Next()) {
            if (FloatField(*sorok, "mennyiseg_szamlazva") != 0) {
                for (const std::string& szam : dm.GetSzamlaNev(IntField(*sorok, "kod"))) {
                    auto& list = dm.SzallitoSzamlaLista;
                    if (std::find(list.begin(), list.end(), szam) == list.end())
                        list.push_back(szam);
                }
            }
            open += std::fabs(FloatField(*sorok, "mennyiseg") -
                              FloatField(*sorok, "mennyiseg_szamlazva"));
        }
        if (open == 0)
            throw SilentAbort();
    }

    // A mark of a reversal under way passes here: whether that reversal still lives is told
    // by its lock below.
    const int mark = fej->IsEmpty() ? 0 : IntField(*fej, "sztornozo_bizonylat_kod");
    if (fej->IsEmpty() || IntField(*fej, "kod") != kod ||
        IntField(*fej, "sztornozott_bizonylat_kod") != 0 || (mark != 0 && mark != kBeingReversed))
        return 0;

    bool reopened = false;
    bool overrun = false;
    bool undone = false;
    int result = 0;
    // Released after the work is committed or undone (declared before the transaction, so
    // it goes after it).
    std::optional<db::Transaction> lock;
    std::optional<db::Transaction> tx;
    // Without a transaction the mark of a reversal that did not finish is taken back, so the
    // document can be reversed again.
    const auto releaseMark = [&] {
        try {
            ExecQuery(conn, "SztornoFoglalasSQL",
                      {"UPDATE raktar_mozgas_fej SET sztornozo_bizonylat_kod = 0",
                       "  WHERE kod = :kod AND sztornozo_bizonylat_kod = :jel"},
                      {{"kod", kod}, {"jel", kBeingReversed}});
        } catch (const std::exception&) {
        }
    };
    const auto undo = [&] {
        undone = true;
        result = 0;
        if (tx) {
            try {
                tx->Rollback();
            } catch (const std::exception&) {
            }
            tx.reset();
        } else {
            releaseMark();
        }
    };

    try {
        // Another reversal of this document that is still running holds the lock.
        if (!LockDocument(kod, lock))
            return 0;
        if (useTransaction)
            tx.emplace(conn);
        // The mark: of several clients reversing this document at once, one gets it. A mark
        // left by a reversal that died is taken over (its lock was free); a document that
        // already has a reversing document is not reversed again.
        const long marked =
            ExecQuery(conn, "SztornoFoglalasSQL",
                      {"UPDATE raktar_mozgas_fej SET sztornozo_bizonylat_kod = :jel",
                       "  WHERE kod = :kod AND coalesce(sztornozo_bizonylat_kod, 0) IN (0, :jel)",
                       "    AND coalesce(sztornozott_bizonylat_kod, 0) = 0",
                       "    AND NOT EXISTS (SELECT 1 FROM raktar_mozgas_fej sztorno",
                       "                     WHERE sztorno.sztornozott_bizonylat_kod = :kod)"},
                      {{"kod", kod}, {"jel", kBeingReversed}});
        if (marked == 0) {
            tx.reset();
            return 0;
        }

        // The reversing header.
        auto uj = EmptyOf(dm, "SztornoUjFejSQL", "Raktar_mozgas_fej");
        uj->Append();
        lib_copyFields(*fej, *uj, -1);
        Set(*uj, "forras_bizonylat", "");
        Set(*uj, "cel_bizonylat", "");
        for (const char* name : {"forras_bizonylat_kod", "forras_bizonylat_fajta",
                                 "cel_bizonylat_kod", "cel_bizonylat_fajta"})
            Set(*uj, name, 0);
        TDateTime kelte = IssueTime();
        if (IsFobizKind(kind)) {
            const TDateTime latest = dm.GetLastFobizBizKelt(kind);
            if (latest > kelte)
                kelte = latest;
        }
        Set(*uj, "kelte", db::Value::Date(kelte));
        if (!TextField(*uj, "raktar_mozgas_bizonylat").empty()) {
            Set(*uj, "raktar_mozgas_bizonylat",
                dm.AddNewBizszam(ToInt(BizonylatFajta::RaktarMozgas), true,
                                 uj->FieldByName("Datum").AsDateTime(), true));
        }
        if (GetsNewNumber(kind) && !TextField(*uj, "Bizonylatszam").empty())
            Set(*uj, "Bizonylatszam", dm.AddNewBizszam(kind, true, kelte, true));
        TMozgasnemInfo mozgasnem;
        dm.GetMozgasnemInfo(IntField(*uj, "mozgasnem_kod"), mozgasnem);
        Set(*uj, "mozgasnem_kod", mozgasnem.kapcsolt_mozgas);
        dm.StoreUserData(*uj);
        if (keepTime) {
            // One second after the reversed document; past midnight on the next day.
            const TDateTime ido = fej->FieldByName("ido").AsDateTime() + 1.0 / 86400.0;
            if (ido >= 1.0 - 0.5 / 86400000.0) {
                Set(*uj, "Datum",
                    db::Value::Date(db::DateOf(fej->FieldByName("Datum").AsDateTime()) + 1));
            }
            Set(*uj, "ido", db::Value::Time(db::TimeOf(ido)));
        } else {
            TBizKelt last;
            dm.GetLastBizKelt(last);
            const TServerDateTime now = dm.GetDateTime();
            if (now.Date >= last.Datum) {
                Set(*uj, "Datum", db::Value::Date(now.Date));
                Set(*uj, "ido", db::Value::Time(now.Time));
            } else {
                Set(*uj, "Datum", db::Value::Date(last.Datum));
                Set(*uj, "ido", db::Value::Time(last.Ido));
            }
        }
        uj->Post();
        const int ujKod = IntField(*uj, "kod");

        // The header's print texts.
        TMozgasnemInfo ujMozgasnem;
        dm.GetMozgasnemInfo(IntField(*uj, "mozgasnem_kod"), ujMozgasnem);
        {
            auto szoveg = OpenQuery(conn, "SztornoSzovegFejSQL",
                                    {"select *", "  from bizonylatszoveg_fej",
                                     "  where fej_kod = :kod", "  order by kod"},
                                    {{"kod", kod}});
            auto ujSzoveg = EmptyOf(dm, "SztornoUjSzovegFejSQL", "bizonylatszoveg_fej");
            ujSzoveg->Append();
            if (!szoveg->IsEmpty())
                lib_copyFields(*szoveg, *ujSzoveg, 1);
            Set(*ujSzoveg, "fej_kod", ujKod);
            Set(*ujSzoveg, "mozgasnem_nev", ujMozgasnem.nev);
            ujSzoveg->Post();
        }

        // The lines, those with a negative open quantity first.
        const double arfolyam = FloatField(*fej, "deviza_arfolyam");
        double netto = 0, brutto = 0, nettoHuf = 0, bruttoHuf = 0;
        auto ujSor = EmptyOf(dm, "SztornoUjSorSQL", "Raktar_mozgas");
        auto ujEgyedi = EmptyOf(dm, "SztornoUjEgyediSQL", "raktar_mozgas_egyedi");
        auto ujSzoveg = EmptyOf(dm, "SztornoUjSzovegSQL", "bizonylatszoveg");
        const std::string ujRmBiz = TextField(*uj, "raktar_mozgas_bizonylat");
        for (const bool negativePass : {true, false}) {
            for (sorok->First(); !sorok->Eof(); sorok->Next()) {
                const double open =
                    FloatField(*sorok, "mennyiseg") - FloatField(*sorok, "mennyiseg_szamlazva");
                if ((open < 0) != negativePass)
                    continue;
                if (open == 0 && deliveryNote)
                    continue;
                const int sorKod = IntField(*sorok, "kod");
                ujSor->Append();
                lib_copyFields(*sorok, *ujSor, -1);
                Set(*ujSor, "raktar_mozgas_bizonylat", ujRmBiz);
                Set(*ujSor, "fej_kod", ujKod);
                if (deliveryNote) {
                    const double m = -open;
                    const double n = m * FloatField(*sorok, "netto_egysegar");
                    const double b = m * FloatField(*sorok, "brutto_egysegar");
                    Set(*ujSor, "mennyiseg", m);
                    Set(*ujSor, "netto_arbevetel", n);
                    Set(*ujSor, "brutto_arbevetel", b);
                    Set(*ujSor, "netto_arbevetel_huf", n * arfolyam);
                    Set(*ujSor, "brutto_arbevetel_huf", b * arfolyam);
                    netto += n;
                    brutto += b;
                    nettoHuf += n * arfolyam;
                    bruttoHuf += b * arfolyam;
                }
                dm.StoreUserData(*ujSor);
                ujSor->Post();
                const int ujSorKod = IntField(*ujSor, "kod");
                const std::string szallitoSzama = TextField(*ujSor, "szallito_szama");

                auto egyedi = OpenQuery(conn, "SztornoEgyediSQL",
                                        {"select *", "  from raktar_mozgas_egyedi",
                                         "  where rm_kod = :kod", "  order by kod"},
                                        {{"kod", sorKod}});
                for (egyedi->First(); !egyedi->Eof(); egyedi->Next()) {
                    ujEgyedi->Append();
                    Set(*ujEgyedi, "egyedi_azonosito_kod",
                        IntField(*egyedi, "egyedi_azonosito_kod"));
                    Set(*ujEgyedi, "mennyiseg", -FloatField(*egyedi, "mennyiseg"));
                    Set(*ujEgyedi, "mennyiseg_szamlazva",
                        -FloatField(*egyedi, "mennyiseg_szamlazva"));
                    Set(*ujEgyedi, "rm_kod", ujSorKod);
                    Set(*ujEgyedi, "csak_fobizonylat_tetel",
                        ujSor->FieldByName("csak_fobizonylat_tetel").AsValue());
                    ujEgyedi->Post();
                    if (!szallitoSzama.empty() && !overrun &&
                        !dm.SzallitoEgyedSzamlazas_str(IntField(*sorok, "szallitos_tetel_kod"),
                                                       IntField(*egyedi, "egyedi_azonosito_kod"),
                                                       false, FloatField(*ujEgyedi, "mennyiseg")))
                        overrun = true;
                }

                auto szoveg = OpenQuery(conn, "SztornoSzovegSQL",
                                        {"select *", "  from bizonylatszoveg",
                                         "  where sor_kod = :kod", "  order by kod"},
                                        {{"kod", sorKod}});
                ujSzoveg->Append();
                if (!szoveg->IsEmpty())
                    lib_copyFields(*szoveg, *ujSzoveg, 1);
                Set(*ujSzoveg, "sor_kod", ujSorKod);
                ujSzoveg->Post();

                if (!szallitoSzama.empty()) {
                    if (!dm.SzallitoSzamlazas(IntField(*ujSor, "szallitos_tetel_kod"), false,
                                              FloatField(*ujSor, "mennyiseg")))
                        overrun = true;
                    reopened = true;
                }
            }
        }

        if (overrun) {
            undo();
            ui.ShowMessage(dialog,
                           dm.GetLangText("All", "szallito_keszlet_tullepes",
                                          "Szállítólevélen feltüntetett készlet túllépése!"),
                           MessageIcon::Warning);
        } else {
            // Average costs of the items moved (once per item: the function recomputes the
            // item from all its lines).
            std::vector<int> items;
            for (sorok->First(); !sorok->Eof(); sorok->Next()) {
                const int tetel = IntField(*sorok, "tetel_kod");
                if (std::find(items.begin(), items.end(), tetel) == items.end())
                    items.push_back(tetel);
            }
            for (const int tetel : items) {
                ExecQuery(conn, "SztornoAtlagarSQL", {"select atlagar_tetel(:tetel)"},
                          {{"tetel", tetel}});
            }

            // Both links at once, also without the caller's transaction: a reversal cut off
            // here leaves no reversing document linked one way only.
            db::Transaction links(conn);
            uj->Edit();
            Set(*uj, "sztornozott_bizonylat",
                fej->FieldByName("raktar_mozgas_bizonylat").AsValue());
            Set(*uj, "sztornozott_bizonylat_kod", kod);
            if (deliveryNote) {
                const double gross = lib_roundTo(0, brutto);
                const double grossHuf = lib_roundTo(0, bruttoHuf);
                Set(*uj, "netto_arbevetel_vegosszeg", netto);
                Set(*uj, "netto_arbevetel_vegosszeg_huf", nettoHuf);
                // The rounding: the rounded total less the lines it rounds.
                Set(*uj, "kerekites", gross - brutto);
                Set(*uj, "kerekites_huf", grossHuf - bruttoHuf);
                Set(*uj, "brutto_arbevetel_vegosszeg", gross);
                Set(*uj, "brutto_arbevetel_vegosszeg_huf", grossHuf);
                if (!dm.SzallitoSzamlaLista.empty()) {
                    std::string szamok;
                    dm.GetSzallitoSzamokText(szamok);
                    Set(*uj, "megjegyzes",
                        TextField(*uj, "megjegyzes") +
                            " {Az eredeti szállító alapján a következő számlák készültek el: " +
                            szamok +
                            ". Ezért a szállító nem számlázott része került sztornózásra.}");
                }
            }
            uj->Post();

            fej->Edit();
            Set(*fej, "sztornozo_bizonylat", uj->FieldByName("raktar_mozgas_bizonylat").AsValue());
            Set(*fej, "sztornozo_bizonylat_kod", ujKod);
            fej->Post();
            if (IntField(*fej, "forras_bizonylat_fajta") == ToInt(BizonylatFajta::ProformaSzamla)) {
                fej->Edit();
                Set(*fej, "forras_bizonylat", "");
                Set(*fej, "forras_bizonylat_fajta", 0);
                Set(*fej, "forras_bizonylat_kod", 0);
                fej->Post();
            }
            links.Commit();

            // Cash postings, negated under new cash-desk numbers of their directions.
            auto penz = OpenQuery(conn, "SztornoPenzSQL",
                                  {"select *", "  from penzeszkoz_iktato",
                                   "  where raktar_mozgas_fej_kod = :kod", "  order by kod"},
                                  {{"kod", kod}});
            const std::string ujSzam = TextField(*uj, "Bizonylatszam");
            for (penz->First(); !penz->Eof(); penz->Next()) {
                dm.AddNew_PenzeszkozValt(
                    IntField(*penz, "partner_kod"), ujSzam, uj->FieldByName("kelte").AsDateTime(),
                    IntField(*penz, "forras_penzeszkoz"), IntField(*penz, "cel_penzeszkoz"),
                    -FloatField(*penz, "osszeg"),
                    ujSzam + " számú sztornó " + lib_bizonylatFajtaNev(kind) +
                        " bizonylathoz kapcsolódó pénzmozgás",
                    "", ujKod, 0, IntField(*penz, "penztar_bizonylat_irany"), "");
            }
            if (tx) {
                tx->Commit();
                tx.reset();
            }
            result = ujKod;
        }
    } catch (const SilentAbort&) {
        undo();
        throw;
    } catch (const std::exception& e) {
        undo();
        ui.ShowMessage(dialog,
                       std::string("Rögzítési hiba!") + kCr + lib_constraintMessage(e.what()) +
                           kCr + kCr + "Tecnikai leírás:" + kCr + e.what(),
                       MessageIcon::Error);
    }

    // Re-opened delivery-note lines stay re-opened unless the work was undone.
    if (reopened && !overrun && !(undone && useTransaction)) {
        ui.ShowMessage("Szállító rendezés",
                       "A bizonylat megjegyzésében felsorolt szállítók érintett tételei újra "
                       "számlázhatóvá váltak!",
                       MessageIcon::Information);
    }
    return result;
}

}  // namespace dorvan
