#pragma once
// Document reversal: a stored document is cancelled by a reversing document that mirrors it
// with opposite signs (header, lines, identified pieces, print texts, cash postings), linked
// to it both ways. A delivery note is reversed only in its part not yet invoiced; lines
// invoiced from delivery notes give their quantity back to them.
//
// A document is reversed once: the reversal first marks the header as being reversed with
// one conditional update, so of several workstations reversing it at the same moment one
// goes on and the others find it reversed; the reversing header's link to it is unique in
// the database. With a transaction, any failure leaves nothing.
//
// The mark (`sztornozo_bizonylat_kod` = -1) is only valid while its reversal runs: the
// reversal holds a lock of the document in a transaction of a connection of its own for as
// long as it works, and a mark whose lock is free was left by a reversal that died (killed,
// connection lost) and is taken over. The lock lives in an open transaction, so it ends with
// the client and holds through a transaction-mode connection pooler.

#include <string>

#include <memory>
#include <optional>

#include "datamodule/common_types.h"
#include "db/connection.h"
#include "db/dataset.h"
#include "db/transaction.h"

namespace dorvan {

class TDM;

// Copies the current row of `source` into the row being inserted or edited in `target`,
// field by field where the target has a field of the same name: never `kod` (the target's
// `kod` is made optional instead), never a null, floating-point values multiplied by
// `sign` except exchange rates, average and FIFO costs and unit prices.
void lib_copyFields(const db::DataSet& source, db::DataSet& target, int sign);

// The user's text for a violated stock constraint named in `errorText`; "" for others.
std::string lib_constraintMessage(const std::string& errorText);

class Reversal {
  public:
    explicit Reversal(TDM& dm) : dm_(dm) {}

    // Reverses header `kod`; the key of the reversing header, 0 when nothing was done or the
    // work was undone (the user is told why where there is something to tell). A delivery
    // note with every line invoiced ends with SilentAbort. `keepTime` dates the reversal at
    // the reversed document's date and time + 1 second instead of the server's clock.
    int BizonylatSztorno(int kod, bool stop, bool useTransaction, bool keepTime);

    // The server time of the last presence signal, which dates reversals: this value when
    // set, else the presence signal's own; when no signal was taken in this run, the
    // server's current time is used.
    void SetLastSignTime(TDateTime time) { lastSignTime_ = time; }
    TDateTime LastSignTime() const { return lastSignTime_; }

  private:
    TDateTime IssueTime();
    // Takes the lock of reversing document `kod` in `lock` (a transaction of the reversal's
    // own connection); false when another live reversal holds it.
    bool LockDocument(int kod, std::optional<db::Transaction>& lock);

    TDM& dm_;
    TDateTime lastSignTime_ = 0;
    // The connection whose transaction holds the lock of the document being reversed; made
    // at the first reversal.
    std::unique_ptr<db::Connection> lockConnection_;
};

}  // namespace dorvan
