#pragma once
// The register of submissions to the authority (table nav_bekuldes): one row per document
// and submission, written before the request leaves (state SENDING: "sent, answer unknown")
// and completed from the answer and the status queries.
//
// States: SENDING (the request is on its way or its answer was lost), the authority's
// RECEIVED, PROCESSING, SAVED, DONE, ABORTED, and FAILED (refused as a whole or never sent:
// nothing was received), LOST (its answer was lost and the authority's list of transactions
// does not hold it), ANNULLED (a DONE report whose technical annulment was approved).
//
// One report of a document is in flight or DONE at a time and one annulment is in flight
// (unique partial indexes); a claim reads and inserts under a transaction-level lock of the
// document, so several workstations sending one invoice at once send it once.

#include <optional>
#include <string>
#include <vector>

namespace dorvan::db {
class Connection;
}

namespace dorvan::nav {

struct TNavRegisterRow {
    int kod = 0;
    int fejKod = 0;
    std::string bizonylatszam;
    std::string muvelet;     // CREATE, MODIFY, STORNO, ANNUL
    int modositasIndex = 0;  // 0: none
    std::string eredetiSzamlaszam;
    std::string keresAzonosito;
    int keresIndex = 0;
    std::string tranzakcioAzonosito;  // "" until the answer
    std::string allapot;
    std::string jovahagyas;      // an annulment's approval status
    std::string uzenetek;        // the authority's messages, one per line
    std::string elkuldve;        // UTC, "YYYY-MM-DDThh:mm:ss.sssZ"
    long long korMasodperc = 0;  // seconds since it was sent (server clock)

    bool IsReport() const { return muvelet != "ANNUL"; }
    // The authority may still change its state.
    bool InFlight() const {
        return allapot == "SENDING" || allapot == "RECEIVED" || allapot == "PROCESSING" ||
               allapot == "SAVED";
    }
    bool Final() const { return !InFlight(); }
};

// What a new submission of one item is.
struct TNavClaimRequest {
    int fejKod = 0;
    std::string bizonylatszam;
    std::string muvelet;
    int modositasIndex = 0;
    std::string eredetiSzamlaszam;
    std::string keresAzonosito;
    int keresIndex = 1;
    std::string munkaallomas;
};

// A claim: the new row, or the row that stands in its way (none: an annulment without a DONE
// report to annul).
struct TNavClaim {
    bool claimed = false;
    std::optional<TNavRegisterRow> row;
};

// How long an answer may take before a submission missing from the authority's list is taken
// as never received.
inline constexpr int kLostAfterSeconds = 5 * 60;

class TNavRegister {
  public:
    explicit TNavRegister(db::Connection& connection) : connection_(connection) {}

    // Every row of a document, oldest first.
    std::vector<TNavRegisterRow> Rows(int fejKod);
    std::vector<TNavRegisterRow> RowsOfTransaction(const std::string& transactionId);
    std::vector<TNavRegisterRow> RowsOfRequest(const std::string& requestId);
    // The latest report (CREATE, MODIFY or STORNO) of a document.
    std::optional<TNavRegisterRow> LatestReport(int fejKod);
    bool KnowsTransaction(const std::string& transactionId);

    // A report: refused (the blocking row) while one is in flight or DONE.
    TNavClaim ClaimReport(const TNavClaimRequest& request);
    // A technical annulment: needs the latest report DONE; refused while an annulment of it is
    // in flight or DONE and not rejected.
    TNavClaim ClaimAnnulment(const TNavClaimRequest& request);

    // The answer of a request: its rows still SENDING become RECEIVED with the transaction id.
    void Received(const std::string& requestId, const std::string& transactionId);
    // Refused as a whole or never sent: its rows still SENDING become FAILED.
    void Failed(const std::string& requestId, const std::string& message);
    // The answer was lost: the rows stay SENDING with the reason.
    void AnswerLost(const std::string& requestId, const std::string& message);
    // A SENDING row found in the authority's list.
    void Resolved(int kod, const std::string& transactionId, const std::string& state,
                  const std::string& messages);
    // A SENDING row at least kLostAfterSeconds old becomes LOST; false when it is not (any
    // more) such a row.
    bool MarkLost(int kod);
    // The state of an item of a transaction (a final state is not overwritten by another).
    void UpdateState(const std::string& transactionId, int index, const std::string& state,
                     const std::string& messages, const std::string& approval);
    // An approved annulment: the document's DONE reports before it become ANNULLED.
    void MarkAnnulled(int fejKod, int annulmentKod);

  private:
    TNavClaim Claim(const TNavClaimRequest& request, bool annulment);

    db::Connection& connection_;
};

}  // namespace dorvan::nav
