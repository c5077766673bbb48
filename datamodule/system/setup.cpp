// Settings and owner record: the per-user settings row (created with the defaults of a new
// user) and the completion of the global settings row.

#include "datamodule/system/setup.h"

#include <string>

#include "datamodule/dm.h"
#include "datamodule/support/key_lock.h"
#include "db/errors.h"

namespace dorvan {

namespace {

// Switches a new user gets on (besides every "_jog_" right).
constexpr const char* kNewUserOnes[] = {
    "nyugta_kiallitomezo_modosithato",
    "nyugta_mozgasnemmezo_modosithato",
    "nyugta_partnermezo_modosithato",
    "termekkereses_szuressel",
    "partnerkereses_szuressel",
    "beszerzesiar_lathato",
    "szallito_mozgasnemmezo_modosithato",
    "szamla_mozgasnemmezo_modosithato",
    "bizatadas_mozgasnemmezo_modosithato",
    "projektfelhasznalas_mozgasnemmezo_modosithato",
    "felvasarlasijegy_mozgasnemmezo_modosithato",
};

struct TextDefault {
    const char* column;
    const char* value;
};

// Texts of the global row filled only when empty.
constexpr TextDefault kMainTextDefaults[] = {
    {"nyugta_cime", "Nyugta kísérő"},  {"fajta1_nev", "Fajta 1."},
    {"fajta2_nev", "Fajta 2."},        {"fajta3_nev", "Fajta 3."},
    {"fajta4_nev", "Fajta 4."},        {"fajta5_nev", "Fajta 5."},
    {"fajta6_nev", "Fajta 6."},        {"tetel_nevsor2", "2. sor"},
    {"tetel_nevsor3", "3. sor"},       {"tetel_nevsor4", "4. sor"},
    {"tetel_megnevezes", "000001234"}, {"deviza_nev", "HUF"},
};

struct NumberDefault {
    const char* column;
    int value;
};

// Numbers of the global row where 0 means "not set".
constexpr NumberDefault kMainZeroDefaults[] = {
    {"tetel_kep_max_meret", 50},
    {"arazasimod", 1},
};

// Numbers of the global row filled only when null (0 is a valid choice there).
constexpr NumberDefault kMainNullDefaults[] = {
    {"szamla_bizonylat_hivatkozas_szallito", 1},
    {"szamla_bizonylat_hivatkozas_projektszallito", 1},
    {"fizetesi_hatarido_automatikus_szamitas", 2},
    {"profromaszamla_peldanyszam", 1},
    {"kimenomegrendeles_peldanyszam", 1},
    {"penztarbiz_peldanyszam", 1},
    {"penztarbiz_ki_peldanyszam", 1},
    {"penztarbiz_be_nyomtatas_letrejottekor", 1},
    {"penztarbiz_ki_nyomtatas_letrejottekor", 1},
    {"penztarbiz_kezeles_azonnaliszamla_eseten", 2},
    {"arajanlat_peldanyszam", 1},
};

void OpenSetupRow(TDM& dm, const std::string& userId) {
    dm._setupSQL.Close();
    dm._setupSQL.ParamByName("userID").SetAsString(userId);
    dm._setupSQL.Open();
    dm.AutoDisableReqField(dm._setupSQL);
    dm._setupSQL.First();
}

bool HasUserRow(const TDM& dm, const std::string& userId) {
    return !dm._setupSQL.IsEmpty() && dm._setupSQL.FieldByName("userid").AsString() == userId;
}

void AppendNewUserRow(db::DataSet& q, const std::string& userId) {
    q.Append();
    q.FieldByName("userid").SetAsString(userId);
    q.FieldByName("color_main").SetAsInteger(1);
    q.FieldByName("lang").SetAsString(kLangHungarian);
    q.FieldByName("allwindowsmaximalized").SetAsInteger(0);
    q.FieldByName("showwindowtitles").SetAsInteger(1);
    q.FieldByName("datareclimit").SetAsInteger(50);
    q.FieldByName("multilangmode").SetAsInteger(0);
    q.FieldByName("nyugta_mozgasnem").SetAsInteger(0);
    for (const char* column : kNewUserOnes)
        q.FieldByName(column).SetAsInteger(1);
    for (int i = 0; i < q.FieldCount(); ++i) {
        db::Field& f = q.Fields(i);
        if (!f.Calculated() && f.FieldName().find("_jog_") != std::string::npos)
            f.SetAsInteger(1);
    }
    q.Post();
}

}  // namespace

Setup::Setup(TDM& dm)
    : TulajdonosZQuery(dm, "TulajdonosZQuery", {"select *", " from tulajdonos"}),
      _setup_mainSQL(dm, "_setup_mainSQL", {"SELECT *", "  from _setup_main"}, 0,
                     [this](db::DataSet& d) { _setup_mainSQLAfterOpen(d); }),
      _setupSQL(dm, "_setupSQL", {"SELECT *", "  from _setup", "  where userid = :userID"}, -1),
      dm_(dm) {}

bool Setup::SignIn(const std::string& UserID) {
    if (UserID.empty())
        return false;
    TUserInfo user;
    dm_.GetUserInfo(UserID, user);
    if (user.userid != UserID)
        return false;
    SetSetup(UserID);
    dm_.Settings().UserID = UserID;
    return true;
}

void Setup::SetSetup(const std::string& UserID) {
    OpenSetupRow(dm_, UserID);
    if (!HasUserRow(dm_, UserID) && !dm_.HasUniqueKey("_setup_userid_key")) {
        // Without the key (a user's row entered twice before) the row is made under the
        // user's lock: a workstation that waited finds the row made meanwhile.
        UnderKeyLock(dm_.ZConnection, "_setup", UserID, [&] {
            OpenSetupRow(dm_, UserID);
            if (!HasUserRow(dm_, UserID))
                AppendNewUserRow(_setupSQL, UserID);
        });
    } else if (!HasUserRow(dm_, UserID)) {
        try {
            AppendNewUserRow(_setupSQL, UserID);
        } catch (const db::UniqueViolation&) {
            // Another workstation created the row of this user in the meantime: use it.
            _setupSQL.Cancel();
            OpenSetupRow(dm_, UserID);
        }
    }
    const std::int64_t color = _setupSQL.FieldByName("color_main").AsInteger();
    if (color < 1 || color > 4) {
        _setupSQL.Edit();
        _setupSQL.FieldByName("color_main").SetAsInteger(1);
        _setupSQL.Post();
    }
}

void Setup::_setup_mainSQLAfterOpen(db::DataSet& DataSet) {
    if (DataSet.IsEmpty()) {
        DataSet.Append();
        try {
            DataSet.Post();
        } catch (const db::UniqueViolation&) {
            // Another workstation stored the row first (the table holds one row): read
            // that one; this handler runs again on it.
            DataSet.Cancel();
            DataSet.Close();
            DataSet.Open();
            return;
        }
    }
    DataSet.First();
    bool editing = false;
    auto edit = [&] {
        if (!editing) {
            DataSet.Edit();
            editing = true;
        }
    };
    for (const auto& d : kMainTextDefaults) {
        db::Field& f = DataSet.FieldByName(d.column);
        if (f.AsString().empty()) {
            edit();
            f.SetAsString(d.value);
        }
    }
    for (const auto& d : kMainZeroDefaults) {
        db::Field& f = DataSet.FieldByName(d.column);
        if (f.AsInteger() == 0) {
            edit();
            f.SetAsInteger(d.value);
        }
    }
    for (const auto& d : kMainNullDefaults) {
        db::Field& f = DataSet.FieldByName(d.column);
        if (f.IsNull()) {
            edit();
            f.SetAsInteger(d.value);
        }
    }
    if (editing)
        DataSet.Post();
}

}  // namespace dorvan
