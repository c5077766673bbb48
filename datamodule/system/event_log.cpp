#include "datamodule/system/event_log.h"

#include "config/format_settings.h"
#include "config/main_table.h"
#include "config/ui_port.h"
#include "datamodule/core/server_clock.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"

namespace dorvan {

void EventLog::AddLogItem(const std::string& Muvelet, const std::string& Leiras) {
    const TServerDateTime now = dm_.GetDateTime();
    ExecQuery(dm_.ZConnection_behind, "AddLogItemSQL",
              {"insert into _masterlog (datum, ido, felhasznalo, muvelet, leiras)",
               "  values (:datum, :ido, :felhasznalo, :muvelet, :leiras)"},
              {{"datum", db::Value::Date(now.Date)},
               {"ido", FormatTimeText(GlobalFormatSettings().longTimeFormat, now.Time)},
               {"felhasznalo", dm_.Settings().UserID},
               {"muvelet", Muvelet},
               {"leiras", Leiras}});
}

bool EventLog::FindLogItem(const std::string& Muvelet, const std::string& Leiras) {
    const auto q = OpenQuery(dm_.ZConnection, "FindLogItemSQL",
                             {"SELECT *", "  from _masterlog", "  where \"muvelet\" = :muvelet",
                              "   and \"leiras\" = :leiras"},
                             {{"muvelet", Muvelet}, {"leiras", Leiras}});
    return !q->IsEmpty();
}

void EventLog::DeleteError(db::DataSet*, const std::exception& E, TDataAction& Action) {
    dm_.UserInterface().ShowMessage(
        "Törlés hiba",
        std::string(
            "A törlés nem lehetséges, mert ez a tétel kapcsolódik egy másik tételhez.\r\r(") +
            E.what() + ")");
    Action = TDataAction::Fail;
}

}  // namespace dorvan
