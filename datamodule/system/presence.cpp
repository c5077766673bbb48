#include "datamodule/system/presence.h"

#include <cmath>

#include "config/main_table.h"
#include "config/network.h"
#include "datamodule/dm.h"
#include "datamodule/support/key_lock.h"
#include "datamodule/support/service_support.h"
#include "db/retry.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

constexpr long kActiveSeconds = 15;

// A message meets a computer's own signal now and then; each attempt waits for that signal's
// commit, so a few attempts are plenty.
constexpr db::RetryPolicy kRingingRetry{.attempts = 10, .backoff = std::chrono::milliseconds(5)};

// This computer's identity as the other services of the registry know it.
db::ParamValues ThisComputer(const TMainTable& mt) {
    return {
        {"this_ip", mt.CurrentIP}, {"this_host", mt.LocalHostName}, {"this_local_ip", mt.LocalIP}};
}

}  // namespace

TActiveWindow ActiveWindowAt(const TServerDateTime& now) {
    long seconds = std::lround(now.Time * 86400.0) - kActiveSeconds;
    if (seconds < 0) {
        seconds = 0;
    }
    TActiveWindow window;
    window.date = now.Date;
    window.time =
        db::EncodeTime(static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                       static_cast<int>(seconds % 60));
    return window;
}

void ClientPresence::SendIPSign(bool Start, std::string& Message) {
    Message.clear();
    TMainTable& mt = dm_.Settings();
    std::string host = "default";
    std::string localIp;
    std::string ignoredError;
    if (!GetLocalHostAndIP(host, localIp, ignoredError) || host.empty()) {
        host = "default";
    }

    const TServerDateTime now = dm_.GetDateTime();
    TUserInfo user;
    dm_.GetUserInfo(mt.UserID, user);

    const db::ParamValues computer = {{"ip", mt.CurrentIP}, {"host", host}, {"local_ip", localIp}};
    db::ParamValues sign = computer;
    sign.insert(sign.end(), {{"datum", db::Value::Date(now.Date)},
                             {"ido", db::Value::Time(now.Time)},
                             {"userid", mt.UserID},
                             {"username", user.nev},
                             {"start", Start ? 1 : 0}});

    db::Transaction tx(dm_.ZConnection);
    if (dm_.HasUniqueKey("_currentip_gep_key")) {
        ExecQuery(dm_.ZConnection, "SendIPSignSQL",
                  {"insert into _currentip (ip, host, local_ip, message)",
                   "  values (:ip, :host, :local_ip, '')",
                   "  on conflict (ip, host, local_ip) do nothing"},
                  computer);
    } else {
        // Without the key (a computer's row entered twice before): one workstation at a
        // time checks and inserts under the computer's lock, held until the commit.
        UnderKeyLock(dm_.ZConnection, "_currentip", KeyText({mt.CurrentIP, host, localIp}), [&] {
            ExecQuery(dm_.ZConnection, "SendIPSignSQL",
                      {"insert into _currentip (ip, host, local_ip, message)",
                       "  select cast(:ip as varchar), cast(:host as varchar),",
                       "    cast(:local_ip as varchar), ''",
                       "  where not exists (select 1 from _currentip where ip = :ip",
                       "    and host = :host and local_ip = :local_ip)"},
                      computer);
        });
    }
    // The row stays locked until the commit: the message read here is emptied before
    // anybody else can read it.
    const auto row =
        OpenQuery(dm_.ZConnection, "SendIPSignSQL",
                  {"SELECT message", " from _currentip", "  where ip = :ip", "   and host = :host",
                   "   and local_ip = :local_ip", "  for update"},
                  computer);
    const std::string pending = row->IsEmpty() ? std::string() : TextField(*row, "message");
    ExecQuery(dm_.ZConnection, "SendIPSignSQL",
              {"update _currentip", "   set lastsign_date = :datum, lastsign_time = :ido,",
               "       logged_userid = :userid, logged_username = :username,",
               "       connect_date = case when :start = 1 then :datum else connect_date end,",
               "       connect_time = case when :start = 1 then :ido else connect_time end,",
               "       message = ''", "  where ip = :ip", "   and host = :host",
               "   and local_ip = :local_ip"},
              sign);
    tx.Commit();

    lastSignTime_ = now.DateTime;
    mt.LastSignTime = now.DateTime;
    Message = pending;
}

bool ClientPresence::RingingUser(const std::string& Ip, const std::string& Host,
                                 const std::string& LocalIp, const std::string& Message) {
    // The side connection is serializable: a computer that signals at the same moment
    // (its own transaction writes the same row) makes the update fail with a serialization
    // failure, and the message is written again once that signal is committed.
    db::RunInTransaction(dm_.ZConnection_behind, kRingingRetry, [&] {
        ExecQuery(dm_.ZConnection_behind, "RingingUserSQL",
                  {"update _currentip", "   set message = :message", "  where ip = :ip",
                   "   and host = :host", "   and local_ip = :local_ip"},
                  {{"message", Message}, {"ip", Ip}, {"host", Host}, {"local_ip", LocalIp}});
    });
    return true;
}

bool ClientPresence::RingingAllUser(const std::string& Message) {
    return RingingAllUser(Message, dm_.GetDateTime());
}

bool ClientPresence::RingingAllUser(const std::string& Message, const TServerDateTime& Now) {
    const TActiveWindow window = ActiveWindowAt(Now);
    db::ParamValues params = ThisComputer(dm_.Settings());
    params.insert(params.end(), {{"message", Message},
                                 {"date", db::Value::Date(window.date)},
                                 {"time", db::Value::Time(window.time)}});
    ExecQuery(dm_.ZConnection, "RingingAllUserSQL",
              {"update _currentip", "   set message = :message", " where lastsign_date = :date",
               "   and lastsign_time >= :time", "   and not (ip is not distinct from :this_ip",
               "            and host is not distinct from :this_host",
               "            and local_ip is not distinct from :this_local_ip)"},
              params);
    return true;
}

std::vector<std::string> ClientPresence::GetAktivKliens(bool LeaveOutThis) {
    return GetAktivKliens(LeaveOutThis, dm_.GetDateTime());
}

std::vector<std::string> ClientPresence::GetAktivKliens(bool LeaveOutThis,
                                                        const TServerDateTime& Now) {
    const TActiveWindow window = ActiveWindowAt(Now);
    const auto q =
        OpenQuery(dm_.ZConnection, "GetAktivKliensSQL",
                  {"select *", " from _currentip", " where lastsign_date = :date",
                   "   and lastsign_time >= :time", " order by kod"},
                  {{"date", db::Value::Date(window.date)}, {"time", db::Value::Time(window.time)}});
    const TMainTable& mt = dm_.Settings();
    std::vector<std::string> names;
    for (q->First(); !q->Eof(); q->Next()) {
        const bool own = TextField(*q, "ip") == mt.CurrentIP &&
                         TextField(*q, "host") == mt.LocalHostName &&
                         TextField(*q, "local_ip") == mt.LocalIP;
        if (LeaveOutThis && own) {
            continue;
        }
        names.push_back(TextField(*q, "logged_username"));
    }
    return names;
}

}  // namespace dorvan
