#pragma once
// Reporting invoices to the authority: the submissions of nav-send, nav-status and nav-annul,
// each recorded in the register before its request leaves.
//
// A document's open submissions are settled before anything new is sent: a submission whose
// answer was lost is looked up in the authority's list of transactions (and its original
// request, to match the invoice number); one still in flight has its state queried. A report
// in flight or DONE is not sent again; a modification or cancellation waits until its original
// is DONE.

#include <string>
#include <vector>

#include "nav/nav_client.h"
#include "nav/nav_register.h"

namespace dorvan {
class TDM;
}
namespace dorvan::db {
class Connection;
}

namespace dorvan::nav {

enum class TNavOutcome { Sent, Refused, Failed };

// What became of one document.
struct TNavSendResult {
    int key = 0;
    TNavOutcome outcome = TNavOutcome::Failed;
    std::string invoiceNumber;
    std::string operation;
    int modificationIndex = 0;
    std::string transactionId;
    int index = 0;
    std::string message;  // one line: why it was refused or failed
};

// One item of a transaction as the authority tells it, with the register's document key.
struct TNavStatusLine {
    int key = 0;  // 0: not in the register
    std::string transactionId;
    int index = 0;
    std::string state;
    std::string approval;  // an annulment's approval status
    std::vector<TNavMessage> messages;
    std::string note;  // the register's note (a lost answer, a refusal as a whole)
    bool Final() const {
        return state == "DONE" || state == "ABORTED" || state == "FAILED" || state == "LOST" ||
               state == "ANNULLED";
    }
};

struct TNavSendOptions {
    std::string appearance = "PAPER";             // PAPER or ELECTRONIC
    std::string workstation;                      // recorded with each submission
    std::size_t batchSize = kMaxItemsPerRequest;  // invoices in one request, 1 to 100
};

class TNavReporter {
  public:
    // `registerConnection`: an auto-commit connection for the register (its writes must not
    // wait for another transaction of the caller).
    TNavReporter(TDM& dm, db::Connection& registerConnection, TNavClient& client);

    // Sends the documents (in the order given, at most options.batchSize in one request, each
    // once).
    std::vector<TNavSendResult> Send(const std::vector<int>& keys, const TNavSendOptions& options);

    // The latest submission of a document, its state queried; empty when it has none.
    std::vector<TNavStatusLine> Status(int key);
    // Every item of a transaction.
    std::vector<TNavStatusLine> TransactionStatus(const std::string& transactionId);

    // The technical annulment of a document's DONE report.
    TNavSendResult Annul(int key, const std::string& code, const std::string& reason,
                         const TNavSendOptions& options);

  private:
    struct Prepared;

    // Settles the document's open submissions (lost answers, states in flight).
    void Settle(int key);
    // Looks SENDING rows up in the authority's list; resolved rows get their transaction.
    void ResolveLost(const std::vector<TNavRegisterRow>& rows);
    // Queries a transaction and writes its items' states; the lines as the authority tells.
    std::vector<TNavStatusLine> Query(const std::string& transactionId);
    void SendBatch(std::vector<Prepared>& batch, std::vector<TNavSendResult>& results);
    TNavStatusLine FromRow(const TNavRegisterRow& row) const;

    TDM& dm_;
    TNavRegister register_;
    TNavClient& client_;
};

}  // namespace dorvan::nav
