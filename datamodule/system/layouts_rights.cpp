// Per-user layouts and rights, letter templates, record limits, data sources.
//
// The per-user components keep one user's rows open; a write goes to the table in one
// statement (insert, or update of the existing row, on the table's unique key, so two
// workstations storing the same layout at once leave one row) and the component re-reads.

#include "datamodule/system/layouts_rights.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>

#include "config/date_time_pattern.h"
#include "config/folders.h"
#include "config/format_settings.h"
#include "config/lib_strings.h"
#include "datamodule/dm.h"
#include "datamodule/support/key_lock.h"
#include "datamodule/support/service_support.h"

namespace dorvan {

namespace {

constexpr std::array<const char*, 87> kReportNames = {
    "IranyitoszamQuickRep",
    "FizetesmodQuickRep",
    "AFAkulcsQuickRep",
    "KedvezmenyQuickRep",
    "Mennyisegi_egysegQuickRep",
    "UzletkotoQuickRep",
    "MunkatarsQuickRep",
    "PartnerQuickRep",
    "TetelQuickRep",
    "EgysegarakQuickRep",
    "Partner_csoportQuickRep",
    "raktar_nevekQuickRep",
    "MozgasnemQuickRep",
    "Arjegyzek_listazasa",
    "QuickRep_KeszletLista",
    "GyartasQuickRep",
    "QuickRep_KeszletLista2",
    "LeltarLista",
    "Szamla_zaras",
    "EgysegarEllenorzo",
    "NyugtaBizonylatLista",
    "SzamlaBizonylatLista",
    "SzallitoBizonylatLista",
    "BizomanyosBizonylatLista",
    "EsemenyekLista",
    "EsemenyNaploLista",
    "ProformaszamlaLista",
    "ArajanlatLista",
    "KimenomegrendelesLista",
    "BeerkezettrendelesvisszaigazolasLista",
    "BesorolasLista",
    "AtarazoLista",
    "ErtekesitettTetelekLista",
    "penzeszkoz_nevekLista",
    "penzeszkoz_mozgasokLista",
    "vakleltarLista",
    "vevoiszamlanyilvantarto1",
    "Partner_Email_Lista",
    "vevoiszamlanyilvantarto2",
    "elfekvo_lista",
    "NemSzlaSzallitokLista",
    "NemSzlaSzallitokTetelesLista",
    "Projekt_statuszLista",
    "Projekt_utemezesLista",
    "Projekt_besorolasLista",
    "KorlevelTorzsLista",
    "PenzeszkozNaplo",
    "KeszletvaltozaselemzoLista",
    "ProjektekLista",
    "ProjektekAtadasLista",
    "HaszonkulcsFeltoltoLista",
    "Egyedi_listazo",
    "NemSzlaSzallitokPartneresLista",
    "SzallitoiSzamlakListaja",
    "HaszonListaTetelenkent",
    "HaszonListaPartnerenkent",
    "NemSzlaSzallitokProjektLista",
    "NemSzlaPSzallitokLista",
    "NemSzlaPSzallitokTetelesLista",
    "NemSzlaPSzallitokPartneresLista",
    "NemSzlaPSzallitokProjektLista",
    "EGYEDI_rendeles_lista_PVF",
    "projekt_vevo_lista",
    "projekt_vevo_lista_teteles",
    "QuickRep_KeszletLista1",
    "egyedi_54_szallitasi_bizonylatok_listaja",
    "EGYEDI_54_felvasarlasi_jegyekLista",
    "EGYEDI_54_jutalek_listaFormLista",
    "EGYEDI_54_jutalek_listaFormLista2",
    "EGYEDI_54_jutalek_listaFormLista3",
    "EGYEDI_54_szamlak",
    "EGYEDI_56_Munkalap_lista",
    "Partner_kapcsolat_lista",
    "EGYEDI_54_jutalek_tablaLista",
    "QuickRep_KeszletLista3",
    "projekt_vevo_lista_fkszam",
    "szlaszall_lista",
    "57_havi_jelentes",
    "Naptar_lista",
    "FelvasarloiJegyLista",
    "FoglalasTablaLista",
    "RendelesTablaLista",
    "PenzeszkozOsszesito1",
    "PenzeszkozOsszesito2",
    "folyamat_def_blokkLista",
    "folyamat_defLista",
    "minimal_maximum_k_o_lista",
};

// Menu items only a superuser may see.
constexpr std::array<const char*, 7> kSuperuserItems = {
    "Mentestreszabsa1", "Mkdsibelltsok1",      "Tulajdonosadatok1", "Munkatrs1",
    "Belltsokmsolsa1",  "Adatokkarbantartsa1", "Belltsokkezelse1",
};
constexpr const char* kDataMaintenanceItem = "Adatokkarbantartsa1";

std::string AsciiUpper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

// The text a template field gets from a column of the template query.
std::string FieldText(const db::Field& field) {
    switch (field.DataType()) {
        case db::FieldType::SmallInt:
        case db::FieldType::Integer:
        case db::FieldType::LargeInt:
        case db::FieldType::Float:
            return lib_groupDigits(field.AsString());
        case db::FieldType::Date:
        case db::FieldType::DateTime: {
            if (field.IsNull() || field.AsDateTime() == 0)
                return {};
            const db::DateParts d = db::DecodeDate(field.AsDateTime());
            DateTimeFields f;
            f.year = d.year;
            f.month = d.month;
            f.day = d.day;
            return FormatDateTimePattern(GlobalFormatSettings().shortDateFormat, f);
        }
        default:
            return field.AsString();
    }
}

}  // namespace

std::string ReportCatalogueName(int number) {
    if (number < 1 || number > static_cast<int>(kReportNames.size()))
        return {};
    return kReportNames[static_cast<std::size_t>(number - 1)];
}

std::string DeveloperMarkerFile() {
    return GetWindowsFolder() + "dorvan_fejleszto.jel";
}

LayoutsRights::LayoutsRights(TDM& dm)
    : GetGridSQL(dm, "GetGridSQL", {"select *", "  from _grids", "  where userid = :userid"}, -1),
      GetReportSQL(dm, "GetReportSQL",
                   {"select *", "  from _reports", "  where _reports.userid = :userid"}, -1),
      GetReportItemSQL(
          dm, "GetReportItemSQL",
          {"select *", "  from _reports_items", "  where _reports_items.report_kod = :ReportId"},
          -1),
      GetMenuSQL(dm, "GetMenuSQL", {"SELECT *", "  from _menus", "  where userid = :UserId"}, -1),
      GetButtonSQL(
          dm, "GetButtonSQL",
          {"select *", "  from _buttons", "  where userid = :userid", "", "order by button"}, -1),
      ZQueryPartner(dm, "ZQueryPartner", {"SELECT *", "   FROM partner", "   WHERE kod = :kod"},
                    10),
      dm_(dm) {
    RxMemoryData.AddField("mezonev", db::FieldType::String, 100);
    RxMemoryData.AddField("mezoertek", db::FieldType::String, 5000);
    RxMemoryData.AddField("leiras", db::FieldType::String, 200);
    RxMemoryData.Open();
}

void LayoutsRights::OpenFor(db::Query& q, const std::string& param, const db::Value& value) {
    if (q.Active() && q.ParamByName(param).AsValue() == value)
        return;
    q.Close();
    q.ParamByName(param).SetValue(value);
    q.Open();
    dm_.AutoDisableReqField(q);
}

void LayoutsRights::GetGrid(const std::string& UserID, const std::string& FormName,
                            const std::string& ColumnName, TGridInfo& Info) {
    OpenFor(GetGridSQL, "userid", UserID);
    if (GetGridSQL.Locate("formname;columnname", {FormName, ColumnName})) {
        Info.index = IntField(GetGridSQL, "index");
        Info.width = IntField(GetGridSQL, "width");
        Info.visible = IntField(GetGridSQL, "visible");
    } else {
        Info = TGridInfo{};
    }
}

void LayoutsRights::SetGrid(const std::string& UserID, const std::string& FormName,
                            const std::string& ColumnName, int Index, int Width, int Visible) {
    OpenFor(GetGridSQL, "userid", UserID);
    if (GetGridSQL.Locate("formname;columnname", {FormName, ColumnName}) &&
        IntField(GetGridSQL, "index") == Index && IntField(GetGridSQL, "width") == Width &&
        IntField(GetGridSQL, "visible") == Visible) {
        return;
    }
    const db::ParamValues row = {{"userid", UserID},         {"formname", FormName},
                                 {"columnname", ColumnName}, {"index", Index},
                                 {"width", Width},           {"visible", Visible}};
    if (dm_.HasUniqueKey("_grids_oszlop_key")) {
        ExecQuery(dm_.ZConnection, "SetGridSQL",
                  {"insert into _grids (userid, formname, columnname, \"index\", width, visible)",
                   "  values (:userid, :formname, :columnname, :index, :width, :visible)",
                   "  on conflict (userid, formname, columnname) do update",
                   "  set \"index\" = excluded.\"index\", width = excluded.width,",
                   "      visible = excluded.visible"},
                  row);
    } else {
        UnderKeyLock(dm_.ZConnection, "_grids", KeyText({UserID, FormName, ColumnName}), [&] {
            const long changed = ExecQuery(
                dm_.ZConnection, "SetGridSQL",
                {"update _grids set \"index\" = :index, width = :width, visible = :visible",
                 "  where userid = :userid and formname = :formname",
                 "    and columnname = :columnname"},
                row);
            if (changed == 0) {
                ExecQuery(dm_.ZConnection, "SetGridSQL",
                          {"insert into _grids (userid, formname, columnname, \"index\", width,",
                           "    visible)",
                           "  values (:userid, :formname, :columnname, :index, :width, :visible)"},
                          row);
            }
        });
    }
    GetGridSQL.Refresh();
}

void LayoutsRights::GetReport(const std::string& UserID, int ReportNumber, TReportInfo& Info) {
    OpenFor(GetReportSQL, "userid", UserID);
    const std::string name = ReportCatalogueName(ReportNumber);
    if (!GetReportSQL.Locate("reportname", {name})) {
        Info = TReportInfo{};
        return;
    }
    Info.oriental = IntField(GetReportSQL, "oriental");
    Info.page = IntField(GetReportSQL, "page");
    Info.margin_left = IntField(GetReportSQL, "margin_left");
    Info.margin_right = IntField(GetReportSQL, "margin_right");
    Info.margin_top = IntField(GetReportSQL, "margin_top");
    Info.margin_bottom = IntField(GetReportSQL, "margin_bottom");
    Info.kod = IntField(GetReportSQL, "kod");
    Info.emptycol = IntField(GetReportSQL, "emptycol");
}

int LayoutsRights::SetReport(const std::string& UserID, const std::string& ReportName, int Oriental,
                             int Page, int MarginLeft, int MarginRight, int MarginTop,
                             int MarginBottom, int EmptyCol) {
    const db::ParamValues row = {{"userid", UserID},          {"reportname", ReportName},
                                 {"oriental", Oriental},      {"page", Page},
                                 {"margin_left", MarginLeft}, {"margin_right", MarginRight},
                                 {"margin_top", MarginTop},   {"margin_bottom", MarginBottom},
                                 {"emptycol", EmptyCol}};
    const std::vector<std::string> insert = {
        "insert into _reports (userid, reportname, oriental, page, margin_left, margin_right,",
        "    margin_top, margin_bottom, emptycol)",
        "  values (:userid, :reportname, :oriental, :page, :margin_left, :margin_right,",
        "    :margin_top, :margin_bottom, :emptycol)"};
    int kod = 0;
    if (dm_.HasUniqueKey("_reports_lista_key")) {
        std::vector<std::string> upsert = insert;
        upsert.insert(
            upsert.end(),
            {"  on conflict (userid, reportname) do update",
             "  set oriental = excluded.oriental, page = excluded.page,",
             "      margin_left = excluded.margin_left, margin_right = excluded.margin_right,",
             "      margin_top = excluded.margin_top, margin_bottom = excluded.margin_bottom,",
             "      emptycol = excluded.emptycol", "  returning kod"});
        kod = IntField(*OpenQuery(dm_.ZConnection, "SetReportSQL", upsert, row), "kod");
    } else {
        kod = UnderKeyLock(dm_.ZConnection, "_reports", KeyText({UserID, ReportName}), [&] {
            auto changed = OpenQuery(
                dm_.ZConnection, "SetReportSQL",
                {"update _reports set oriental = :oriental, page = :page,",
                 "    margin_left = :margin_left, margin_right = :margin_right,",
                 "    margin_top = :margin_top, margin_bottom = :margin_bottom,",
                 "    emptycol = :emptycol",
                 "  where userid = :userid and reportname = :reportname", "  returning kod"},
                row);
            if (!changed->IsEmpty()) {
                changed->First();
                return IntField(*changed, "kod");
            }
            std::vector<std::string> added = insert;
            added.emplace_back("  returning kod");
            return IntField(*OpenQuery(dm_.ZConnection, "SetReportSQL", added, row), "kod");
        });
    }
    if (GetReportSQL.Active())
        GetReportSQL.Refresh();
    return kod;
}

void LayoutsRights::GetReportItem(int ReportKod, int FieldId, TReportItemInfo& Info) {
    OpenFor(GetReportItemSQL, "ReportId", ReportKod);
    if (!GetReportItemSQL.Locate("fieldid", {FieldId})) {
        Info = TReportItemInfo{};
        return;
    }
    Info.fieldno = IntField(GetReportItemSQL, "fieldno");
    Info.fieldcheck = IntField(GetReportItemSQL, "fieldcheck");
    Info.size_min = IntField(GetReportItemSQL, "size_min");
    Info.size_max = IntField(GetReportItemSQL, "size_max");
}

void LayoutsRights::SetReportItem(int ReportKod, int FieldId, int FieldNo, int FieldCheck,
                                  int SizeMin, int SizeMax) {
    const db::ParamValues row = {{"report_kod", ReportKod}, {"fieldid", FieldId},
                                 {"fieldno", FieldNo},      {"fieldcheck", FieldCheck},
                                 {"size_min", SizeMin},     {"size_max", SizeMax}};
    const std::vector<std::string> insert = {
        "insert into _reports_items (report_kod, fieldid, fieldno, fieldcheck, size_min,",
        "    size_max)",
        "  values (:report_kod, :fieldid, :fieldno, :fieldcheck, :size_min, :size_max)"};
    if (dm_.HasUniqueKey("_reports_items_mezo_key")) {
        std::vector<std::string> upsert = insert;
        upsert.insert(upsert.end(),
                      {"  on conflict (report_kod, fieldid) do update",
                       "  set fieldno = excluded.fieldno, fieldcheck = excluded.fieldcheck,",
                       "      size_min = excluded.size_min, size_max = excluded.size_max"});
        ExecQuery(dm_.ZConnection, "SetReportItemSQL", upsert, row);
    } else {
        UnderKeyLock(dm_.ZConnection, "_reports_items",
                     KeyText({std::to_string(ReportKod), std::to_string(FieldId)}), [&] {
                         const long changed =
                             ExecQuery(dm_.ZConnection, "SetReportItemSQL",
                                       {"update _reports_items set fieldno = :fieldno,",
                                        "    fieldcheck = :fieldcheck, size_min = :size_min,",
                                        "    size_max = :size_max",
                                        "  where report_kod = :report_kod and fieldid = :fieldid"},
                                       row);
                         if (changed == 0)
                             ExecQuery(dm_.ZConnection, "SetReportItemSQL", insert, row);
                     });
    }
    if (GetReportItemSQL.Active())
        GetReportItemSQL.Refresh();
}

void LayoutsRights::ClearAllReportItem(int ReportKod) {
    dm_.ExecSQL("delete from _reports_items where report_kod = :report_kod",
                {{"report_kod", ReportKod}});
    if (GetReportItemSQL.Active())
        GetReportItemSQL.Refresh();
}

int LayoutsRights::GetMenuVisible(const std::string& UserID, const std::string& MenuItem) {
    OpenFor(GetMenuSQL, "UserId", UserID);
    const bool found = GetMenuSQL.Locate("MenuItem", {MenuItem});
    TUserInfo user;
    dm_.GetUserInfo(UserID, user);
    int code = kMenuNoRule;
    if (!user.userid.empty() && user.superuser == 1) {
        if (!found) {
            const db::ParamValues row = {{"userid", UserID}, {"menuitem", MenuItem}};
            if (dm_.HasUniqueKey("_menus_menupont_key")) {
                ExecQuery(dm_.ZConnection, "GetMenuVisibleSQL",
                          {"insert into _menus (userid, menuitem, menuitemvisible)",
                           "  values (:userid, :menuitem, 0)",
                           "  on conflict (userid, menuitem) do nothing"},
                          row);
            } else {
                UnderKeyLock(dm_.ZConnection, "_menus", KeyText({UserID, MenuItem}), [&] {
                    ExecQuery(dm_.ZConnection, "GetMenuVisibleSQL",
                              {"insert into _menus (userid, menuitem, menuitemvisible)",
                               "  select cast(:userid as varchar), cast(:menuitem as varchar), 0",
                               "  where not exists (select 1 from _menus",
                               "    where userid = :userid and menuitem = :menuitem)"},
                              row);
                });
            }
            GetMenuSQL.Refresh();
        }
        code = kMenuShown;
    } else if (std::find(kSuperuserItems.begin(), kSuperuserItems.end(), MenuItem) !=
               kSuperuserItems.end()) {
        code = kMenuHidden;
    } else if (MenuItem == "Kilps1" || MenuItem == "Fjl1") {
        code = kMenuAlwaysShown;
    } else if (found) {
        code = IntField(GetMenuSQL, "menuitemvisible");
    }
    if (MenuItem == kDataMaintenanceItem && !std::filesystem::exists(DeveloperMarkerFile()))
        code = kMenuHidden;
    return code == 1 ? kMenuShown : code;
}

int LayoutsRights::GetButtonCount(const std::string& UserID) {
    GetButtonSQL.Close();
    GetButtonSQL.ParamByName("userid").SetAsString(UserID);
    GetButtonSQL.Open();
    return GetButtonSQL.RecordCount();
}

bool LayoutsRights::SetUserPassword(const std::string& UserID, const std::string& Password) {
    return ExecQuery(dm_.ZConnection, "SetUserPasswordSQL",
                     {"update munkatars", "   set pass = :pass", "   where userid = :userid"},
                     {{"pass", Password}, {"userid", UserID}}) == 1;
}

void LayoutsRights::ChangeFields(std::string& Text, int PartnerKod) {
    ZQueryPartner.Close();
    ZQueryPartner.ParamByName("kod").SetAsInteger(PartnerKod);
    ZQueryPartner.Open();
    dm_.UserInterface().ProcessMessages();

    std::size_t pos = 0;
    while (pos < Text.size()) {
        const std::size_t open = Text.find('~', pos);
        if (open == std::string::npos)
            break;
        const std::size_t close = Text.find('~', open + 1);
        if (close == std::string::npos)
            break;
        std::string field = Text.substr(open + 1, close - open - 1);
        field.erase(std::remove(field.begin(), field.end(), ' '), field.end());
        std::string prefix;
        std::string name;
        if (const std::size_t dot = field.find('.'); dot != std::string::npos) {
            prefix = AsciiUpper(field.substr(0, dot));
            name = AsciiUpper(field.substr(dot + 1));
        } else {
            name = AsciiUpper(field);
        }
        if (prefix == "P")
            prefix = "PARTNER";
        std::string replacement = "{HIBÁS MEZŐ - " + field + "}";

        // Only the columns of the module's template queries are read: a field names a
        // column, never a statement.
        const std::string component = "ZQUERY" + prefix;
        for (auto it = dm_.Queries.rbegin(); it != dm_.Queries.rend(); ++it) {
            const db::DataSet& ds = **it;
            if (ds.Tag() != 10 || AsciiUpper(ds.Name()) != component || !ds.Active())
                continue;
            if (const db::Field* f = ds.FindField(name); f != nullptr && !f->Calculated()) {
                replacement = FieldText(*f);
                dm_.UserInterface().ProcessMessages();
                break;
            }
        }
        if (prefix == "PRNVAR" || prefix.empty()) {
            if (RxMemoryData.Locate("mezonev", {name}))
                replacement = TextField(RxMemoryData, "mezoertek");
        }
        Text.replace(open, close - open + 1, replacement);
        // Values are not scanned again: a value holding "~" stays as it is.
        pos = open + replacement.size();
    }
    ZQueryPartner.Close();
}

void LayoutsRights::Reset_RxMemoryData() {
    RxMemoryData.Close();
    RxMemoryData.Open();
    RxMemoryData.EmptyTable();
}

void LayoutsRights::StopDataSource(const db::DataSet& DataSet, bool Enabled) {
    for (auto it = DataSources.rbegin(); it != DataSources.rend(); ++it) {
        if (it->dataSet == &DataSet)
            it->enabled = Enabled;
    }
}

void LayoutsRights::SetDataRecLimit(db::Query& Query, std::string& ControlText, bool Off,
                                    int Page) {
    const db::DataSet& setup = dm_._setupSQL;
    const int limit = setup.Active() && !setup.IsEmpty() ? IntField(setup, "datareclimit") : 0;
    std::string clause;
    if (!Off) {
        clause = "  LIMIT " + std::to_string(limit);
        if (Page != 0)
            clause += " OFFSET " + std::to_string(static_cast<long long>(Page) * limit);
    }
    const std::vector<std::string>& lines = Query.Sql();
    std::size_t found = 0;
    for (std::size_t i = lines.size(); i-- > 1;) {
        if (lines[i].compare(0, 7, "  LIMIT") == 0) {
            found = i;
            break;
        }
    }
    if (found != 0)
        Query.SetLine(found, clause);
    else
        Query.AddLine(clause);
    if (Off) {
        ControlText = dm_.GetLangText("All", "limit_offed", "limit kikapcsolva.");
    } else {
        ControlText = dm_.GetLangText("All", "limit_max", "max.") + " " + std::to_string(limit) +
                      " " + dm_.GetLangText("All", "limit_tetel", "tétel!");
    }
}

}  // namespace dorvan
