#pragma once
// Per-user screen layouts (grid columns, list reports with their columns), menu rights and
// tool buttons, passwords, letter templates filled with a partner's data, the record limit of
// long lists and the data sources bound to the module's datasets.

#include <string>
#include <vector>

#include "datamodule/module_query.h"
#include "db/mem_table.h"
#include "db/query.h"

namespace dorvan {

class TDM;

// A grid column's layout; all -1 when none is stored.
struct TGridInfo {
    int index = -1;
    int width = -1;
    int visible = -1;
};

// A list report's layout; the defaults when none is stored.
struct TReportInfo {
    int oriental = 0;
    int page = 1;
    int margin_left = 10;
    int margin_right = 10;
    int margin_top = 10;
    int margin_bottom = 15;
    int kod = -1;
    int emptycol = 0;
};

// A column of a report setting; the defaults when none is stored.
struct TReportItemInfo {
    int fieldno = -1;
    int fieldcheck = -1;
    int size_min = 0;
    int size_max = 0;
};

// A window's data source: bound to a dataset of the module, enabled or not.
struct TDataSource {
    std::string name;
    const db::DataSet* dataSet = nullptr;
    bool enabled = true;
};

// Codes of GetMenuVisible; other values are stored codes passed through.
inline constexpr int kMenuShown = 0;
inline constexpr int kMenuNoRule = -1;
inline constexpr int kMenuHidden = -2;
inline constexpr int kMenuAlwaysShown = 3;

// The list reports by number (1-based); slots without a report are empty.
inline constexpr int kReportSlots = 120;
// The report name of a number; "" for an empty slot or a number outside 1..120.
std::string ReportCatalogueName(int number);

// The file whose presence unlocks the data maintenance menu on a computer.
std::string DeveloperMarkerFile();

class LayoutsRights {
  public:
    explicit LayoutsRights(TDM& dm);

    void GetGrid(const std::string& UserID, const std::string& FormName,
                 const std::string& ColumnName, TGridInfo& Info);
    // Writes only when the stored values differ (one row per user, form and column).
    void SetGrid(const std::string& UserID, const std::string& FormName,
                 const std::string& ColumnName, int Index, int Width, int Visible);
    void GetReport(const std::string& UserID, int ReportNumber, TReportInfo& Info);
    // The setting's key.
    int SetReport(const std::string& UserID, const std::string& ReportName, int Oriental, int Page,
                  int MarginLeft, int MarginRight, int MarginTop, int MarginBottom, int EmptyCol);
    void GetReportItem(int ReportKod, int FieldId, TReportItemInfo& Info);
    void SetReportItem(int ReportKod, int FieldId, int FieldNo, int FieldCheck, int SizeMin,
                       int SizeMax);
    void ClearAllReportItem(int ReportKod);
    // 0 shown, -1 no rule, -2 hidden, 3 always shown, else the stored code. A superuser
    // asking for an item without a rule gets a stored rule 0.
    int GetMenuVisible(const std::string& UserID, const std::string& MenuItem);
    // The number of the user's tool buttons; GetButtonSQL stays open on them.
    int GetButtonCount(const std::string& UserID);
    // True when the user exists and the password was stored.
    bool SetUserPassword(const std::string& UserID, const std::string& Password);
    // Replaces the template fields ("~P.nev~", "~PRNVAR.datum~") of `Text` with the partner's
    // columns and the template variables; a field naming nothing known becomes
    // "{HIBÁS MEZŐ - <field>}".
    void ChangeFields(std::string& Text, int PartnerKod);
    void Reset_RxMemoryData();
    // Enables or disables every registered data source bound to `DataSet`.
    void StopDataSource(const db::DataSet& DataSet, bool Enabled);
    // No desktop database engine exists here: false.
    bool LocalShareIsTrue() const { return false; }
    // Sets ("  LIMIT L [OFFSET Page*L]") or removes the record limit line of `Query` with the
    // user's page size L, and writes the matching note into `ControlText`. Does not reopen.
    void SetDataRecLimit(db::Query& Query, std::string& ControlText, bool Off, int Page);

    ModuleQuery GetGridSQL;
    ModuleQuery GetReportSQL;
    ModuleQuery GetReportItemSQL;
    ModuleQuery GetMenuSQL;
    ModuleQuery GetButtonSQL;
    // The template query of the partner fields (tag 10: never opened in bulk).
    ModuleQuery ZQueryPartner;
    // Template variables: mezonev, mezoertek, leiras.
    db::MemTable RxMemoryData{"RxMemoryData"};
    // Data sources of the windows, registered by them.
    std::vector<TDataSource> DataSources;

  private:
    // Opens `q` for `value` of parameter `param` unless it is open for it already.
    void OpenFor(db::Query& q, const std::string& param, const db::Value& value);

    TDM& dm_;
};

}  // namespace dorvan
