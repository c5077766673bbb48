#include "nav/nav_register.h"

#include "db/connection.h"
#include "db/errors.h"
#include "db/transaction.h"

namespace dorvan::nav {
namespace {

using db::PgParam;

constexpr const char* kColumns =
    "select kod, fej_kod, bizonylatszam, muvelet, coalesce(modositas_index, 0),"
    " coalesce(eredeti_szamlaszam, ''), keres_azonosito, keres_index,"
    " coalesce(tranzakcio_azonosito, ''), allapot, coalesce(jovahagyas, ''),"
    " coalesce(uzenetek, ''),"
    " to_char(elkuldve at time zone 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.MS\"Z\"'),"
    " floor(extract(epoch from now() - elkuldve))::bigint"
    " from nav_bekuldes ";

// The states in which a report stands in the way of another one.
constexpr const char* kReportBlocks = "('SENDING', 'RECEIVED', 'PROCESSING', 'SAVED', 'DONE')";

PgParam P(const std::string& text) {
    return text;
}
PgParam P(int value) {
    return std::to_string(value);
}
PgParam Null() {
    return std::nullopt;
}
PgParam TextOrNull(const std::string& text) {
    return text.empty() ? Null() : P(text);
}

std::vector<TNavRegisterRow> ReadRows(const db::Result& r) {
    std::vector<TNavRegisterRow> rows;
    for (int i = 0; i < r.Rows(); ++i) {
        TNavRegisterRow row;
        row.kod = std::stoi(r.Text(i, 0));
        row.fejKod = std::stoi(r.Text(i, 1));
        row.bizonylatszam = r.Text(i, 2);
        row.muvelet = r.Text(i, 3);
        row.modositasIndex = std::stoi(r.Text(i, 4));
        row.eredetiSzamlaszam = r.Text(i, 5);
        row.keresAzonosito = r.Text(i, 6);
        row.keresIndex = std::stoi(r.Text(i, 7));
        row.tranzakcioAzonosito = r.Text(i, 8);
        row.allapot = r.Text(i, 9);
        row.jovahagyas = r.Text(i, 10);
        row.uzenetek = r.Text(i, 11);
        row.elkuldve = r.Text(i, 12);
        row.korMasodperc = std::stoll(r.Text(i, 13));
        rows.push_back(std::move(row));
    }
    return rows;
}

// The document's lock for the length of the transaction: the claims of one document, from
// any workstation, come one after the other.
void LockDocument(db::Connection& c, int fejKod) {
    c.Execute("select pg_advisory_xact_lock(hashtext('nav_bekuldes'), $1::integer)", {P(fejKod)});
}

}  // namespace

std::vector<TNavRegisterRow> TNavRegister::Rows(int fejKod) {
    return ReadRows(connection_.Execute(std::string(kColumns) + "where fej_kod = $1 order by kod",
                                        {P(fejKod)}));
}

std::vector<TNavRegisterRow> TNavRegister::RowsOfTransaction(const std::string& transactionId) {
    return ReadRows(connection_.Execute(
        std::string(kColumns) + "where tranzakcio_azonosito = $1 order by keres_index, kod",
        {P(transactionId)}));
}

std::vector<TNavRegisterRow> TNavRegister::RowsOfRequest(const std::string& requestId) {
    return ReadRows(connection_.Execute(
        std::string(kColumns) + "where keres_azonosito = $1 order by keres_index", {P(requestId)}));
}

std::optional<TNavRegisterRow> TNavRegister::LatestReport(int fejKod) {
    auto rows = ReadRows(connection_.Execute(
        std::string(kColumns) +
            "where fej_kod = $1 and muvelet <> 'ANNUL' order by kod desc limit 1",
        {P(fejKod)}));
    if (rows.empty())
        return std::nullopt;
    return rows.front();
}

bool TNavRegister::KnowsTransaction(const std::string& transactionId) {
    return connection_
               .Execute("select 1 from nav_bekuldes where tranzakcio_azonosito = $1 limit 1",
                        {P(transactionId)})
               .Rows() > 0;
}

TNavClaim TNavRegister::ClaimReport(const TNavClaimRequest& request) {
    return Claim(request, false);
}

TNavClaim TNavRegister::ClaimAnnulment(const TNavClaimRequest& request) {
    return Claim(request, true);
}

TNavClaim TNavRegister::Claim(const TNavClaimRequest& request, bool annulment) {
    try {
        db::Transaction tx(connection_);
        LockDocument(connection_, request.fejKod);
        std::vector<TNavRegisterRow> blocking;
        if (!annulment) {
            blocking = ReadRows(connection_.Execute(
                std::string(kColumns) +
                    "where fej_kod = $1 and muvelet <> 'ANNUL' and allapot in " + kReportBlocks +
                    " order by kod desc limit 1",
                {P(request.fejKod)}));
        } else {
            const auto report = LatestReport(request.fejKod);
            if (!report || report->allapot != "DONE")
                return {false, report};
            // An annulment of this report in flight, or done and not rejected.
            blocking = ReadRows(connection_.Execute(
                std::string(kColumns) +
                    "where fej_kod = $1 and muvelet = 'ANNUL' and kod > $2 and (allapot in "
                    "('SENDING', 'RECEIVED', 'PROCESSING', 'SAVED') or (allapot = 'DONE' and "
                    "coalesce(jovahagyas, '') not in ('VERIFICATION_REJECTED', "
                    "'NOT_VERIFIABLE'))) order by kod desc limit 1",
                {P(request.fejKod), P(report->kod)}));
        }
        if (!blocking.empty())
            return {false, blocking.front()};
        auto rows = ReadRows(connection_.Execute(
            "with uj as (insert into nav_bekuldes (fej_kod, bizonylatszam, muvelet,"
            " modositas_index, eredeti_szamlaszam, keres_azonosito, keres_index, allapot,"
            " munkaallomas) values ($1::integer, $2, $3, $4::integer, $5, $6, $7::integer,"
            " 'SENDING', $8) returning *) " +
                std::string(kColumns).replace(std::string(kColumns).find("from nav_bekuldes"), 17,
                                              "from uj"),
            {P(request.fejKod), P(request.bizonylatszam), P(request.muvelet),
             request.modositasIndex > 0 ? P(request.modositasIndex) : Null(),
             TextOrNull(request.eredetiSzamlaszam), P(request.keresAzonosito),
             P(request.keresIndex), TextOrNull(request.munkaallomas)}));
        tx.Commit();
        return {true, rows.front()};
    } catch (const db::UniqueViolation&) {
        // The lock keeps workstations of this program apart; another writer of the table
        // still meets the unique indexes.
        const auto rows = Rows(request.fejKod);
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
            if (it->IsReport() != annulment && (it->InFlight() || it->allapot == "DONE"))
                return {false, *it};
        }
        throw;
    }
}

void TNavRegister::Received(const std::string& requestId, const std::string& transactionId) {
    connection_.Execute(
        "update nav_bekuldes set tranzakcio_azonosito = $1, allapot = 'RECEIVED',"
        " uzenetek = null, valasz_ideje = now(), allapot_ideje = now()"
        " where keres_azonosito = $2 and allapot = 'SENDING'",
        {P(transactionId), P(requestId)});
}

void TNavRegister::Failed(const std::string& requestId, const std::string& message) {
    connection_.Execute(
        "update nav_bekuldes set allapot = 'FAILED', uzenetek = $1, valasz_ideje = now(),"
        " allapot_ideje = now() where keres_azonosito = $2 and allapot = 'SENDING'",
        {P(message), P(requestId)});
}

void TNavRegister::AnswerLost(const std::string& requestId, const std::string& message) {
    connection_.Execute(
        "update nav_bekuldes set uzenetek = $1, allapot_ideje = now()"
        " where keres_azonosito = $2 and allapot = 'SENDING'",
        {P(message), P(requestId)});
}

void TNavRegister::Resolved(int kod, const std::string& transactionId, const std::string& state,
                            const std::string& messages) {
    connection_.Execute(
        "update nav_bekuldes set tranzakcio_azonosito = $1, allapot = $2, uzenetek = $3,"
        " valasz_ideje = coalesce(valasz_ideje, now()), allapot_ideje = now()"
        " where kod = $4::integer and allapot = 'SENDING'",
        {P(transactionId), P(state), TextOrNull(messages), P(kod)});
}

bool TNavRegister::MarkLost(int kod) {
    return connection_
               .Execute(
                   "update nav_bekuldes set allapot = 'LOST', allapot_ideje = now()"
                   " where kod = $1::integer and allapot = 'SENDING'"
                   " and now() - elkuldve >= make_interval(secs => $2::integer)",
                   {P(kod), P(kLostAfterSeconds)})
               .AffectedRows() > 0;
}

void TNavRegister::UpdateState(const std::string& transactionId, int index,
                               const std::string& state, const std::string& messages,
                               const std::string& approval) {
    connection_.Execute(
        "update nav_bekuldes set allapot = $1, uzenetek = $2, jovahagyas = $3,"
        " allapot_ideje = now()"
        " where tranzakcio_azonosito = $4 and keres_index = $5::integer"
        " and (allapot not in ('DONE', 'ABORTED', 'FAILED', 'LOST', 'ANNULLED') or allapot = $1)",
        {P(state), TextOrNull(messages), TextOrNull(approval), P(transactionId), P(index)});
}

void TNavRegister::MarkAnnulled(int fejKod, int annulmentKod) {
    connection_.Execute(
        "update nav_bekuldes set allapot = 'ANNULLED', allapot_ideje = now()"
        " where fej_kod = $1::integer and muvelet <> 'ANNUL' and allapot = 'DONE'"
        " and kod < $2::integer",
        {P(fejKod), P(annulmentKod)});
}

}  // namespace dorvan::nav
