#include "nav/nav_reporter.h"

#include <QDateTime>
#include <QString>
#include <algorithm>
#include <map>
#include <set>

#include "datamodule/dm.h"
#include "nav/nav_crypto.h"
#include "nav/nav_error.h"
#include "nav/nav_export.h"
#include "report/invoice/invoice_selection.h"

namespace dorvan::nav {
namespace {

// How far before a lost submission the authority's list is read (clocks differ).
constexpr int kListMarginSeconds = 10 * 60;
// The list takes at most 35 days.
constexpr long long kListMaxSeconds = 35LL * 24 * 3600 - 60;

std::string Joined(const std::vector<TNavMessage>& messages) {
    std::string text;
    for (const TNavMessage& m : messages)
        text += (text.empty() ? "" : "\n") + MessageLine(m);
    return text;
}

std::string ShiftedTimestamp(const std::string& timestamp, long long seconds) {
    const QDateTime t = QDateTime::fromString(QString::fromStdString(timestamp), Qt::ISODateWithMs);
    if (!t.isValid())
        return timestamp;
    return t.toUTC()
        .addSecs(seconds)
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"))
        .toStdString();
}

long long SecondsBetween(const std::string& from, const std::string& to) {
    const QDateTime a = QDateTime::fromString(QString::fromStdString(from), Qt::ISODateWithMs);
    const QDateTime b = QDateTime::fromString(QString::fromStdString(to), Qt::ISODateWithMs);
    return a.isValid() && b.isValid() ? a.secsTo(b) : 0;
}

// Why a row stands in the way of a new report.
std::string BlockMessage(const TNavRegisterRow& row) {
    const std::string what = row.bizonylatszam + " (" + row.muvelet + ")";
    if (row.allapot == "DONE")
        return what + ": már beküldve és befogadva (DONE, tranzakció " + row.tranzakcioAzonosito +
               ")";
    if (row.allapot == "SENDING" && row.uzenetek.empty())
        return what + ": beküldése folyamatban (SENDING, elküldve " + row.elkuldve + ")";
    if (row.allapot == "SENDING") {
        const long long left = std::max<long long>(0, kLostAfterSeconds - row.korMasodperc);
        return what + ": elküldve " + row.elkuldve +
               ", a válasz ismeretlen és az adóhatóság listájában még nincs; " +
               std::to_string(left) + " másodperc múlva dönthető el, hogy megérkezett-e";
    }
    return what + ": beküldése folyamatban (" + row.allapot + ", tranzakció " +
           row.tranzakcioAzonosito + ")";
}

TNavSendResult Refused(int key, std::string message) {
    TNavSendResult r;
    r.key = key;
    r.outcome = TNavOutcome::Refused;
    r.message = std::move(message);
    return r;
}

}  // namespace

struct TNavReporter::Prepared {
    std::size_t position = 0;  // in the results
    std::string xml;
    TNavRegisterRow row;
};

TNavReporter::TNavReporter(TDM& dm, db::Connection& registerConnection, TNavClient& client)
    : dm_(dm), register_(registerConnection), client_(client) {}

// ---------------------------------------------------------------------------------------
// Settling what is open
// ---------------------------------------------------------------------------------------

void TNavReporter::ResolveLost(const std::vector<TNavRegisterRow>& rows) {
    std::vector<TNavRegisterRow> open;
    for (const TNavRegisterRow& row : rows) {
        if (row.allapot == "SENDING")
            open.push_back(row);
    }
    if (open.empty())
        return;
    std::string earliest = open.front().elkuldve;
    for (const TNavRegisterRow& row : open)
        earliest = std::min(earliest, row.elkuldve);
    const std::string to = UtcTimestampNow();
    std::string from = ShiftedTimestamp(earliest, -kListMarginSeconds);
    if (SecondsBetween(from, to) > kListMaxSeconds)
        from = ShiftedTimestamp(to, -kListMaxSeconds);

    for (const TNavTransaction& t : client_.QueryTransactionList(from, to)) {
        if (open.empty())
            break;
        const bool annulment = open.front().muvelet == "ANNUL";
        if (t.technicalAnnulment != annulment || register_.KnowsTransaction(t.transactionId))
            continue;
        const TNavTransactionStatus status = client_.QueryTransactionStatus(t.transactionId, true);
        for (const TNavProcessingResult& r : status.results) {
            if (!r.originalRequest || r.compressed)
                continue;
            const std::string number = SubmittedInvoiceNumber(*r.originalRequest);
            const auto match =
                std::find_if(open.begin(), open.end(), [&](const TNavRegisterRow& row) {
                    return !number.empty() && row.bizonylatszam == number;
                });
            if (match == open.end())
                continue;
            register_.Resolved(match->kod, t.transactionId, r.invoiceStatus, Joined(r.messages));
            open.erase(match);
        }
    }
    // Not in the list: never received, once the authority's time for it has passed.
    for (const TNavRegisterRow& row : open)
        register_.MarkLost(row.kod);
}

std::vector<TNavStatusLine> TNavReporter::Query(const std::string& transactionId) {
    const TNavTransactionStatus status = client_.QueryTransactionStatus(transactionId, false);
    const std::vector<TNavRegisterRow> rows = register_.RowsOfTransaction(transactionId);
    std::vector<TNavStatusLine> lines;
    for (const TNavProcessingResult& r : status.results) {
        TNavStatusLine line;
        line.transactionId = transactionId;
        line.index = r.index;
        line.state = r.invoiceStatus;
        line.messages = r.messages;
        line.approval = status.annulmentVerificationStatus;
        for (const TNavRegisterRow& row : rows) {
            if (row.keresIndex == r.index) {
                line.key = row.fejKod;
                register_.UpdateState(transactionId, r.index, r.invoiceStatus, Joined(r.messages),
                                      row.muvelet == "ANNUL" ? line.approval : std::string());
                if (row.muvelet == "ANNUL" && line.approval == "VERIFICATION_DONE")
                    register_.MarkAnnulled(row.fejKod, row.kod);
            }
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

void TNavReporter::Settle(int key) {
    std::vector<TNavRegisterRow> reports;
    std::vector<TNavRegisterRow> annulments;
    for (const TNavRegisterRow& row : register_.Rows(key)) {
        if (row.allapot == "SENDING")
            (row.IsReport() ? reports : annulments).push_back(row);
    }
    ResolveLost(reports);
    ResolveLost(annulments);
    std::set<std::string> queried;
    for (const TNavRegisterRow& row : register_.Rows(key)) {
        if (row.InFlight() && !row.tranzakcioAzonosito.empty() &&
            queried.insert(row.tranzakcioAzonosito).second)
            Query(row.tranzakcioAzonosito);
    }
}

// ---------------------------------------------------------------------------------------
// Sending
// ---------------------------------------------------------------------------------------

std::vector<TNavSendResult> TNavReporter::Send(const std::vector<int>& keys,
                                               const TNavSendOptions& options) {
    std::vector<TNavSendResult> results;
    std::vector<Prepared> batch;
    std::string requestId = NewRequestId();
    std::set<int> seen;
    std::map<int, std::string> claimedNow;  // key -> invoice number, claimed in this call
    for (const int key : keys) {
        if (!seen.insert(key).second)
            continue;
        results.push_back(Refused(key, ""));
        TNavSendResult& result = results.back();
        try {
            Settle(key);
            if (const auto latest = register_.LatestReport(key);
                latest && (latest->InFlight() || latest->allapot == "DONE")) {
                result = Refused(key, BlockMessage(*latest));
                continue;
            }
            // A reversing document: the register tells whether its original was reported.
            const std::string originalText = dm_.GetSQLResult(
                "select sztornozott_bizonylat_kod from raktar_mozgas_fej where kod = :kod",
                {{"kod", key}});
            const int original = originalText.empty() ? 0 : std::stoi(originalText);
            std::optional<TNavRegisterRow> originalReport;
            TNavExportOptions exportOptions;
            exportOptions.appearance = options.appearance;
            if (original != 0) {
                // An original in this same call is not settled yet: it is on its way.
                if (!claimedNow.count(original))
                    Settle(original);
                originalReport = register_.LatestReport(original);
                if (originalReport && originalReport->allapot == "DONE")
                    exportOptions.originalReported = true;
            }
            InvoiceSelection document;
            document.fej_kod = key;
            const TNavExport data = BuildNavExport(dm_, document, exportOptions);
            const TNavInvoice& invoice = data.invoice;
            result.invoiceNumber = invoice.invoiceNumber;
            result.operation = OperationName(invoice.operation);
            // The authority takes an invoice only from its own supplier's technical user.
            if (invoice.supplier.taxNumber.taxpayerId != client_.Credentials().taxNumber) {
                result = Refused(key, invoice.invoiceNumber + ": a kiállító adószáma (" +
                                          invoice.supplier.taxNumber.taxpayerId +
                                          ") nem a technikai felhasználó adózójáé (" +
                                          client_.Credentials().taxNumber +
                                          "): SUPPLIER_TAX_NUMBER_MISMATCH");
                continue;
            }
            if (invoice.reference) {
                result.modificationIndex = invoice.reference->modificationIndex;
                if (!invoice.reference->modifyWithoutMaster &&
                    (!originalReport || originalReport->allapot != "DONE")) {
                    result = Refused(key, invoice.invoiceNumber + " (" + result.operation +
                                              "): az eredeti számla (" +
                                              invoice.reference->originalInvoiceNumber + ") " +
                                              (originalReport ? "még nincs befogadva (" +
                                                                    originalReport->allapot + ")"
                                                              : "még nincs beküldve") +
                                              "; előbb annak kell DONE állapotba jutnia");
                    continue;
                }
            }
            if (batch.size() >=
                std::clamp<std::size_t>(options.batchSize, 1, kMaxItemsPerRequest)) {
                SendBatch(batch, results);
                batch.clear();
                requestId = NewRequestId();
            }
            TNavClaimRequest claim;
            claim.fejKod = key;
            claim.bizonylatszam = invoice.invoiceNumber;
            claim.muvelet = result.operation;
            claim.modositasIndex = result.modificationIndex;
            if (invoice.reference)
                claim.eredetiSzamlaszam = invoice.reference->originalInvoiceNumber;
            claim.keresAzonosito = requestId;
            claim.keresIndex = static_cast<int>(batch.size()) + 1;
            claim.munkaallomas = options.workstation;
            const TNavClaim claimed = register_.ClaimReport(claim);
            if (!claimed.claimed) {
                result = Refused(key, BlockMessage(*claimed.row));
                continue;
            }
            batch.push_back({results.size() - 1, data.xml, *claimed.row});
            claimedNow[key] = invoice.invoiceNumber;
        } catch (const NavDataError& e) {
            result = Refused(key, e.what());
        } catch (const std::exception& e) {
            // This document only; the others go on.
            result.outcome = TNavOutcome::Failed;
            result.message = e.what();
        }
    }
    if (!batch.empty())
        SendBatch(batch, results);
    return results;
}

void TNavReporter::SendBatch(std::vector<Prepared>& batch, std::vector<TNavSendResult>& results) {
    const std::string requestId = batch.front().row.keresAzonosito;
    const auto finish = [&](const std::string& failure) {
        const auto rows = register_.RowsOfRequest(requestId);
        for (const Prepared& p : batch) {
            TNavSendResult& r = results[p.position];
            const auto row = std::find_if(rows.begin(), rows.end(), [&](const TNavRegisterRow& x) {
                return x.kod == p.row.kod;
            });
            if (row != rows.end() && !row->tranzakcioAzonosito.empty()) {
                r.outcome = TNavOutcome::Sent;
                r.transactionId = row->tranzakcioAzonosito;
                r.index = row->keresIndex;
            } else {
                r.outcome = TNavOutcome::Failed;
                r.message = r.invoiceNumber + ": " + failure;
            }
        }
    };
    std::vector<TNavItem> items;
    for (const Prepared& p : batch)
        items.push_back({p.row.muvelet, Base64Encode(p.xml)});

    TNavToken token;
    try {
        token = client_.ExchangeToken();
    } catch (const NavError& e) {
        // Nothing was submitted.
        register_.Failed(requestId, e.what());
        finish(e.what());
        return;
    }
    try {
        const std::string transactionId =
            client_.ManageInvoice({requestId, UtcTimestampNow()}, token, items);
        register_.Received(requestId, transactionId);
        finish("");
    } catch (const NavTransportError& e) {
        if (!e.mayHaveArrived()) {
            register_.Failed(requestId, e.what());
            finish(e.what());
            return;
        }
        const std::string lost = std::string("a válasz elveszett: ") + e.what();
        register_.AnswerLost(requestId, lost);
        std::string note = lost +
                           "; a beküldés SENDING állapotban marad, amíg az adóhatóság "
                           "listájából el nem dönthető, megérkezett-e";
        try {
            ResolveLost(register_.RowsOfRequest(requestId));
        } catch (const NavError& again) {
            note += " (" + std::string(again.what()) + ")";
        }
        finish(note);
    } catch (const NavError& e) {
        register_.Failed(requestId, e.what());
        finish(e.what());
    }
}

TNavSendResult TNavReporter::Annul(int key, const std::string& code, const std::string& reason,
                                   const TNavSendOptions& options) {
    TNavSendResult result = Refused(key, "");
    result.operation = "ANNUL";
    Settle(key);
    const auto report = register_.LatestReport(key);
    if (!report || report->allapot != "DONE") {
        return Refused(key, (report ? report->bizonylatszam + ": a beküldése nincs befogadva (" +
                                          report->allapot + ")"
                                    : std::string("a bizonylatnak nincs beküldése")) +
                                "; technikai érvénytelenítés csak DONE beküldésre kérhető");
    }
    TNavClaimRequest claim;
    claim.fejKod = key;
    claim.bizonylatszam = report->bizonylatszam;
    claim.muvelet = "ANNUL";
    claim.keresAzonosito = NewRequestId();
    claim.keresIndex = 1;
    claim.munkaallomas = options.workstation;
    const TNavClaim claimed = register_.ClaimAnnulment(claim);
    if (!claimed.claimed) {
        if (claimed.row && claimed.row->muvelet == "ANNUL")
            return Refused(key,
                           claimed.row->bizonylatszam +
                               ": technikai érvénytelenítése már folyamatban van (" +
                               claimed.row->allapot +
                               (claimed.row->jovahagyas.empty() ? std::string()
                                                                : ", " + claimed.row->jovahagyas) +
                               ", tranzakció " + claimed.row->tranzakcioAzonosito + ")");
        return Refused(key, report->bizonylatszam + ": a beküldése időközben megváltozott (" +
                                (claimed.row ? claimed.row->allapot : std::string("-")) + ")");
    }
    result.invoiceNumber = report->bizonylatszam;
    const std::string requestId = claim.keresAzonosito;
    const std::string xml =
        InvoiceAnnulmentXml(report->bizonylatszam, UtcTimestampNow(), code, reason);
    const std::vector<TNavItem> items{{"ANNUL", Base64Encode(xml)}};
    const auto fail = [&](const std::string& message) {
        register_.Failed(requestId, message);
        result.outcome = TNavOutcome::Failed;
        result.message = report->bizonylatszam + ": " + message;
        return result;
    };
    TNavToken token;
    try {
        token = client_.ExchangeToken();
    } catch (const NavError& e) {
        return fail(e.what());
    }
    try {
        result.transactionId =
            client_.ManageAnnulment({requestId, UtcTimestampNow()}, token, items);
        register_.Received(requestId, result.transactionId);
        result.outcome = TNavOutcome::Sent;
        result.index = 1;
        return result;
    } catch (const NavTransportError& e) {
        if (!e.mayHaveArrived())
            return fail(e.what());
        const std::string lost = std::string("a válasz elveszett: ") + e.what();
        register_.AnswerLost(requestId, lost);
        try {
            ResolveLost(register_.RowsOfRequest(requestId));
        } catch (const NavError&) {
        }
        const auto rows = register_.RowsOfRequest(requestId);
        if (!rows.empty() && !rows.front().tranzakcioAzonosito.empty()) {
            result.outcome = TNavOutcome::Sent;
            result.transactionId = rows.front().tranzakcioAzonosito;
            result.index = 1;
            return result;
        }
        result.outcome = TNavOutcome::Failed;
        result.message =
            report->bizonylatszam + ": " + lost + "; az érvénytelenítés SENDING állapotban marad";
        return result;
    } catch (const NavError& e) {
        return fail(e.what());
    }
}

// ---------------------------------------------------------------------------------------
// Status
// ---------------------------------------------------------------------------------------

TNavStatusLine TNavReporter::FromRow(const TNavRegisterRow& row) const {
    TNavStatusLine line;
    line.key = row.fejKod;
    line.transactionId = row.tranzakcioAzonosito;
    line.index = row.keresIndex;
    line.state = row.allapot;
    line.approval = row.jovahagyas;
    line.note = row.uzenetek;
    return line;
}

std::vector<TNavStatusLine> TNavReporter::Status(int key) {
    std::vector<TNavRegisterRow> rows = register_.Rows(key);
    if (rows.empty())
        return {};
    if (rows.back().allapot == "SENDING") {
        ResolveLost({rows.back()});
        rows = register_.Rows(key);
    }
    const TNavRegisterRow latest = rows.back();
    if (latest.tranzakcioAzonosito.empty())
        return {FromRow(latest)};
    std::vector<TNavStatusLine> lines;
    for (TNavStatusLine& line : Query(latest.tranzakcioAzonosito)) {
        if (line.index == latest.keresIndex)
            lines.push_back(std::move(line));
    }
    if (lines.empty())
        lines.push_back(FromRow(latest));
    // A state the register keeps beyond the authority's (an approved annulment).
    for (const TNavRegisterRow& row : register_.Rows(key)) {
        if (row.kod == latest.kod && row.allapot == "ANNULLED")
            lines.front().state = "ANNULLED";
    }
    return lines;
}

std::vector<TNavStatusLine> TNavReporter::TransactionStatus(const std::string& transactionId) {
    std::vector<TNavStatusLine> lines = Query(transactionId);
    for (TNavStatusLine& line : lines) {
        for (const TNavRegisterRow& row : register_.RowsOfTransaction(transactionId)) {
            if (row.keresIndex == line.index && row.allapot == "ANNULLED")
                line.state = "ANNULLED";
        }
    }
    return lines;
}

}  // namespace dorvan::nav
