// Multi-language texts: lookups in `lang_text` (or its memory copy) in the signed-in user's
// language, rows for keys never seen before, control captions, the language keys and the
// document-language table.

#include "datamodule/texts/lang_texts.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "config/ui_port.h"
#include "datamodule/dm.h"
#include "datamodule/support/key_lock.h"
#include "db/transaction.h"

namespace dorvan {

namespace {

constexpr const char* kTextType = "TEXT";
constexpr const char* kNotTranslated = "???";

std::string LangFieldName(const std::string& lang) {
    return "Lang_" + lang;
}

}  // namespace

LangTexts::LangTexts(TDM& dm)
    : Lang_textZQuery(dm, "Lang_textZQuery",
                      {"select *", "  from lang_text", "  where Lang_FormName = :FormName",
                       "    and Lang_Object = :Object", "    and Lang_Object_Type = :Type"}),
      GetBizonylat_nyelvZQuery(dm, "GetBizonylat_nyelvZQuery",
                               {"select *", "  from bizonylat_nyelv"}, -1),
      dm_(dm) {}

std::string LangTexts::UserLang() const {
    // No signed-in user's settings row, or a row without a language: Hungarian, as an empty
    // language (or "0") means everywhere.
    if (!dm_._setupSQL.Active() || dm_._setupSQL.IsEmpty())
        return kLangHungarian;
    const std::string lang = dm_._setupSQL.FieldByName("lang").AsString();
    if (lang.empty() || lang == "0")
        return kLangHungarian;
    return lang;
}

namespace {

// Finds the row of (FormName, Key, Type): true when there is one; `text` is its text in the
// user's language ("" when that column is empty or there is no row).
bool FindLangRow(TDM& dm, const std::string& FormName, const std::string& Key,
                 const std::string& Type, std::string& text) {
    db::MemTable& Lang_textMemory = dm.Lang_textMemory;
    db::Query& Lang_textZQuery = dm.Lang_textZQuery;
    const std::string column = LangFieldName(dm.UserLang());
    if (Lang_textMemory.Active()) {
        // The user's column is looked up first: without a settings row both ways fail alike.
        const db::Field& field = Lang_textMemory.FieldByName(column);
        if (!Lang_textMemory.Locate("Lang_FormName;Lang_Object;Lang_Object_Type",
                                    {FormName, Key, Type}))
            return false;
        text = field.AsString();
        return true;
    }
    Lang_textZQuery.Close();
    Lang_textZQuery.ParamByName("FormName").SetAsString(FormName);
    Lang_textZQuery.ParamByName("Object").SetAsString(Key);
    Lang_textZQuery.ParamByName("Type").SetAsString(Type);
    Lang_textZQuery.Open();
    const db::Field& field = Lang_textZQuery.FieldByName(column);
    if (Lang_textZQuery.IsEmpty()) {
        text.clear();
        return false;
    }
    Lang_textZQuery.First();
    text = field.AsString();
    return true;
}

// Stores the row of a key never seen before; a row another workstation stored meanwhile
// stays as it is (one row per form, key and type).
void AddLangRow(TDM& dm, const std::string& FormName, const std::string& Type,
                const std::string& Key, const std::string& Hungarian) {
    const db::ParamValues row = {{"hu", Hungarian},      {"en", kNotTranslated},
                                 {"de", kNotTranslated}, {"formname", FormName},
                                 {"type", Type},         {"object", Key}};
    if (dm.HasUniqueKey("lang_text_lookup")) {
        dm.ExecSQL(
            "insert into lang_text (lang_0000040e, lang_00000409, lang_00000407, lang_formname,"
            " lang_object_type, lang_object)"
            " values (:hu, :en, :de, :formname, :type, :object)"
            " on conflict (lang_formname, lang_object, lang_object_type) do nothing",
            row);
        return;
    }
    UnderKeyLock(dm.ZConnection, "lang_text", KeyText({FormName, Key, Type}), [&] {
        dm.ExecSQL(
            "insert into lang_text (lang_0000040e, lang_00000409, lang_00000407, lang_formname,"
            " lang_object_type, lang_object)"
            " select cast(:hu as varchar), cast(:en as varchar), cast(:de as varchar),"
            " cast(:formname as varchar), cast(:type as varchar), cast(:object as varchar)"
            " where not exists (select 1 from lang_text where lang_formname = :formname"
            " and lang_object = :object and lang_object_type = :type)",
            row);
    });
}

void TranslateCaption(TDM& dm, const std::string& FormName, const std::string& Key,
                      const std::string& Type, const std::string& Caption, std::string& Text) {
    std::string t;
    const bool found = FindLangRow(dm, FormName, Key, Type, t);
    if (Caption == "-")
        t = "-";  // a menu separator stays one
    if (t.empty() && !Caption.empty()) {
        if (!found)
            AddLangRow(dm, FormName, Type, Key, Caption);
        t = Caption;
    }
    Text = t;
}

}  // namespace

std::string LangObjectTypeCode(LangControlKind kind) {
    switch (kind) {
        case LangControlKind::Label:
            return "LABL";
        case LangControlKind::Panel:
            return "PANL";
        case LangControlKind::SpeedButton:
            return "SPBN";
        case LangControlKind::BitButton:
            return "BTBN";
        case LangControlKind::ReportLabel:
            return "QLAB";
        case LangControlKind::MenuItem:
            return "MITM";
        case LangControlKind::DbCheckBox:
            return "DCHB";
        case LangControlKind::TabSheet:
            return "TBSH";
        case LangControlKind::Action:
            return "ACTN";
        case LangControlKind::CheckBox:
            return "CHKB";
        case LangControlKind::RadioGroup:
            return "RGRP";
        case LangControlKind::DbRadioGroup:
            return "DBRG";
        case LangControlKind::RadioButton:
            return "RBTN";
        case LangControlKind::Grid:
        case LangControlKind::Other:
            break;
    }
    return {};
}

std::string LangSubObjectTypeCode(LangControlKind kind) {
    switch (kind) {
        case LangControlKind::Grid:
            return "GCOL";
        case LangControlKind::RadioGroup:
            return "RGIT";
        case LangControlKind::DbRadioGroup:
            return "DRGI";
        default:
            break;
    }
    return {};
}

void LangTexts::GetLangText(const std::string& FormName, const std::string& Key,
                            const std::string& Default, std::string& Text) {
    if (Default.empty())
        return;
    std::string t;
    const bool found = FindLangRow(dm_, FormName, Key, kTextType, t);
    if (t.empty()) {
        if (!found)
            AddLangRow(dm_, FormName, kTextType, Key, Default);
        t = Default;
    }
    Text = UserLang() == kLangHungarian ? Default : t;
}

std::string LangTexts::GetLangText(const std::string& FormName, const std::string& Key,
                                   const std::string& Default) {
    std::string text = Default;
    GetLangText(FormName, Key, Default, text);
    return text;
}

void LangTexts::GetLangAll(const std::string& FormName, const std::string& Key,
                           const std::string& Type, std::string& Text) {
    if (Lang_textMemory.Active()) {
        GetLangAll_Local(FormName, Key, Type, Text);
        return;
    }
    std::string t;
    FindLangRow(dm_, FormName, Key, Type, t);
    Text = t;
}

void LangTexts::GetLangAll_Local(const std::string& FormName, const std::string& Key,
                                 const std::string& Type, std::string& Text) {
    if (!Lang_textMemory.Active())
        return;
    std::string t;
    if (FindLangRow(dm_, FormName, Key, Type, t))
        Text = t;
}

void LangTexts::GetLangObject(const std::string& FormName, const TLangControl& Component,
                              std::string& Text) {
    const std::string code = LangObjectTypeCode(Component.kind);
    if (code.empty()) {
        Text = kLangUnknownType;
        return;
    }
    TranslateCaption(dm_, FormName, Component.name, code, Component.caption, Text);
}

void LangTexts::GetLangSubObject(const std::string& FormName, const TLangControl& Control,
                                 int Index, std::string& Text) {
    const std::string code = LangSubObjectTypeCode(Control.kind);
    if (code.empty()) {
        Text = kLangUnknownType;
        return;
    }
    if (Index < 0 || static_cast<std::size_t>(Index) >= Control.items.size())
        throw std::out_of_range(Control.name + ": no item " + std::to_string(Index));
    const TLangSubItem& item = Control.items[static_cast<std::size_t>(Index)];
    const std::string sub =
        Control.kind == LangControlKind::Grid ? item.fieldName : std::to_string(Index);
    TranslateCaption(dm_, FormName, Control.name + "%" + sub, code, item.caption, Text);
}

void LangTexts::Get_Lang_Text_To_Local_MemDatabase() {
    db::MemTable& copy = Lang_textMemory;
    if (!copy.Active()) {
        copy.ClearFields();
        copy.AddAutoIncField("Kod");
        copy.AddField("Lang_0000040E", db::FieldType::String, 200);
        copy.AddField("Lang_00000409", db::FieldType::String, 200);
        copy.AddField("Lang_00000407", db::FieldType::String, 200);
        copy.AddField("Lang_FormName", db::FieldType::String, 40);
        copy.AddField("Lang_Object_Type", db::FieldType::String, 4);
        copy.AddField("Lang_Object", db::FieldType::String, 100);
    }
    copy.Open();
    if (!copy.IsEmpty()) {
        copy.Close();  // lookups go to the database again
        return;
    }
    UiPort& ui = dm_.UserInterface();
    ui.SetTableName("Nyelvi fájl megnyitása...");
    ui.ProcessMessages();
    // A savepoint inside the caller's transaction.
    db::Transaction tx(dm_.ZConnection);
    ui.SetWaitCursor(true);
    try {
        db::Query q(dm_.ZConnection, "Lang_textSQL");
        q.SetSql({"select *", "   from lang_text",
                  "   order by Lang_FormName, Lang_Object, Lang_Object_Type"});
        q.Open();
        copy.EmptyTable();
        const int count = q.RecordCount();
        int row = 0;
        for (q.First(); !q.Eof(); q.Next()) {
            ++row;
            copy.Append();
            for (int i = 0; i < copy.FieldCount(); ++i) {
                db::Field& target = copy.Fields(i);
                if (target.Calculated() || target.FieldName() == "Kod")
                    continue;  // the copy numbers its rows itself
                if (const db::Field* source = q.FindField(target.FieldName()))
                    target.SetValue(source->AsValue());
            }
            copy.Post();
            const double percent = std::nearbyint(static_cast<double>(row) / count * 100.0);
            ui.SetTableName("Nyelvi fájl feldolgozása: " +
                            std::to_string(static_cast<long long>(percent)) + "%");
            ui.ProcessMessages();
        }
        q.Close();
        tx.Commit();
        ui.SetTableName("");
        ui.SetWaitCursor(false);
    } catch (const std::exception&) {
        ui.SetWaitCursor(false);
        if (copy.State() == db::DataSetState::Insert)
            copy.Cancel();
        tx.Rollback();
        ui.SetTableName("");
        ui.ShowMessage(std::string(kApplicationTitle) + " dialog",
                       "Hiba a lokális nyelvi fájl lértehozásakor!");
    }
}

void LangTexts::GetLangKeyInfo(const std::string& KeyCode, TLangKeyInfo& Info) {
    Info.key_code.clear();
    db::Query q(dm_.ZConnection, "GetLangKeyInfoSQL");
    q.SetSql({"SELECT *", " from lang_key", " where key_code = :key_code"});
    q.ParamByName("key_code").SetAsString(KeyCode);
    q.Open();
    if (!q.IsEmpty()) {
        Info.key_code = q.FieldByName("key_code").AsString();
        Info.key_order = static_cast<int>(q.FieldByName("key_order").AsInteger());
        Info.key_name = q.FieldByName("key_name").AsString();
        Info.font = q.FieldByName("font").AsString();
        Info.carset = q.FieldByName("carset").AsString();
        Info.key_code_withname = q.FieldByName("key_code_withname").AsString();
    }
    q.Close();
}

void LangTexts::GetBizonylat_nyelvInfo(int OrderValue, const std::string& ColumnName,
                                       std::string& Text) {
    Text.clear();
    if (!GetBizonylat_nyelvZQuery.Active())
        GetBizonylat_nyelvZQuery.Open();
    if (GetBizonylat_nyelvZQuery.Locate("order_field", {OrderValue}))
        Text = GetBizonylat_nyelvZQuery.FieldByName(ColumnName).AsString();
}

std::string LangTexts::ConfigLangText_Provided(const std::string& FormName, const std::string& Key,
                                               const std::string& Default) {
    if (!dm_.ZConnection.Connected())
        return Default;
    return GetLangText(FormName, Key, Default);
}

}  // namespace dorvan
