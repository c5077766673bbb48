#pragma once
// Client registry and presence (`_currentip`): each running program renews a time stamp
// in its computer's row; a row signalled at most 15 seconds ago (by the server's clock, on
// the server's current date) is an active client. The row also carries a one-line mailbox
// that the addressee empties with its next signal.

#include <string>
#include <vector>

#include "datamodule/common_types.h"

namespace dorvan {

class TDM;

// The active-client window of a moment: rows signalled on `date` at or after `time`. The
// window never reaches back over midnight (right after midnight it starts at 00:00:00).
struct TActiveWindow {
    TDateTime date = 0;
    TDateTime time = 0;
};
TActiveWindow ActiveWindowAt(const TServerDateTime& now);

class ClientPresence {
  public:
    explicit ClientPresence(TDM& dm) : dm_(dm) {}

    // Registers or renews this computer (start: also its connection time) and hands over
    // its pending message once (`Message` is "" when there is none). One transaction, so
    // two programs sharing the row never both receive the same message.
    void SendIPSign(bool Start, std::string& Message);
    // Leaves a message for a computer (through ZConnection_behind, tried again while that
    // computer's own signal holds its row); a computer without a row gets nothing. Always
    // true; an error that stays after the attempts rises.
    bool RingingUser(const std::string& Ip, const std::string& Host, const std::string& LocalIp,
                     const std::string& Message);
    // Leaves the message for every other active computer. Always true.
    bool RingingAllUser(const std::string& Message);
    bool RingingAllUser(const std::string& Message, const TServerDateTime& Now);
    // User names of the active computers in key order; `LeaveOutThis` leaves out this
    // computer's own row.
    std::vector<std::string> GetAktivKliens(bool LeaveOutThis);
    std::vector<std::string> GetAktivKliens(bool LeaveOutThis, const TServerDateTime& Now);

    // Server time of this run's last presence signal; 0 until one was sent.
    TDateTime LastSignTime() const { return lastSignTime_; }

  private:
    TDM& dm_;
    TDateTime lastSignTime_ = 0;
};

}  // namespace dorvan
