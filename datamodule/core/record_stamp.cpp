// The record stamp: who changed or created a row and when, by the server's clock.

#include "datamodule/core/record_stamp.h"

#include "config/format_settings.h"
#include "config/main_table.h"
#include "datamodule/core/server_clock.h"
#include "datamodule/dm.h"
#include "datamodule/support/service_support.h"

namespace dorvan {

void RecordStamp::StoreUserData(db::DataSet& dataSet) {
    if (!IsEditing(dataSet))
        return;
    const db::DataSetState state = dataSet.State();

    const TServerDateTime now = dm_.GetDateTime();
    const std::string timeText = FormatTimeText(GlobalFormatSettings().longTimeFormat, now.Time);
    const db::Value userId(MainTable().UserID);
    auto write = [&dataSet](const char* name, const db::Value& value) {
        if (db::Field* f = dataSet.FindField(name))
            f->SetValue(value);
    };

    if (state == db::DataSetState::Edit) {
        write("M_USERID", userId);
        write("M_DATE", db::Value::Date(now.Date));
        write("M_TIME", db::Value(timeText));
        return;
    }
    write("C_USERID", userId);
    write("C_DATE", db::Value::Date(now.Date));
    write("C_TIME", db::Value(timeText));
    // An inserted reversal header takes the server time as its own time.
    db::Field* ido = dataSet.FindField("ido");
    db::Field* reversed = dataSet.FindField("sztornozott_bizonylat_kod");
    if (ido != nullptr && reversed != nullptr && reversed->AsInteger() != 0) {
        ido->SetValue(db::Value(timeText));
    }
}

}  // namespace dorvan
