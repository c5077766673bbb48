#pragma once
// Multi-language texts: the records and control descriptions of the text services of TDM
// (lang_texts.cpp). The data module knows no widgets: the window layer describes a control
// (its kind, name and caption, or its columns/items) and applies the text it gets back.

#include <string>
#include <utility>
#include <vector>

#include "config/lang_text.h"
#include "datamodule/module_query.h"
#include "db/mem_table.h"

namespace dorvan {

// Language key of printed documents (a row of `lang_key`).
struct TLangKeyInfo {
    std::string key_code;
    int key_order = 0;
    std::string key_name;
    std::string font;
    std::string carset;
    std::string key_code_withname;
};

// Kinds of translatable controls. Each has its four-letter type code in `lang_text`.
enum class LangControlKind {
    Other,         // a control without translation: "!! ismeretlen típus !!"
    Label,         // LABL
    Panel,         // PANL
    SpeedButton,   // SPBN (tool button)
    BitButton,     // BTBN (push button)
    ReportLabel,   // QLAB
    MenuItem,      // MITM
    DbCheckBox,    // DCHB
    TabSheet,      // TBSH
    Action,        // ACTN
    CheckBox,      // CHKB
    RadioGroup,    // RGRP; items RGIT
    DbRadioGroup,  // DBRG; items DRGI
    RadioButton,   // RBTN
    Grid,          // columns GCOL
};

// A column of a grid (field name and title) or an item of a radio group (text only).
struct TLangSubItem {
    std::string fieldName;
    std::string caption;
};

// What the text services need of a control.
struct TLangControl {
    LangControlKind kind = LangControlKind::Other;
    std::string name;     // component name: the key of its row
    std::string caption;  // caption as designed (Hungarian)
    std::vector<TLangSubItem> items;
};

inline constexpr const char* kLangUnknownType = "!! ismeretlen típus !!";
inline constexpr const char* kLangHungarian = "0000040E";

// Type code of a control's own caption ("" for kinds without one).
std::string LangObjectTypeCode(LangControlKind kind);
// Type code of a control's sub-items ("GCOL", "RGIT", "DRGI"; "" otherwise).
std::string LangSubObjectTypeCode(LangControlKind kind);

// Installs a text provider of the configuration layer for its lifetime.
class ScopedLangTextProvider {
  public:
    explicit ScopedLangTextProvider(LangTextProvider provider) {
        SetLangTextProvider(std::move(provider));
    }
    ~ScopedLangTextProvider() { SetLangTextProvider({}); }
    ScopedLangTextProvider(const ScopedLangTextProvider&) = delete;
    ScopedLangTextProvider& operator=(const ScopedLangTextProvider&) = delete;
};

class TDM;

// The text services of the data module.
class LangTexts {
  public:
    explicit LangTexts(TDM& dm);

    ModuleQuery Lang_textZQuery;
    ModuleQuery GetBizonylat_nyelvZQuery;
    // In-memory copy of `lang_text` (texts cut to 200 characters); closed until filled.
    db::MemTable Lang_textMemory{"Lang_textMemory"};
    // The text of (FormName, Key) in the user's language; `Default` (the Hungarian text)
    // for Hungarian users and for keys without a stored text. Creates the row of a key never
    // seen before. An empty `Default` leaves `Text` unchanged.
    void GetLangText(const std::string& FormName, const std::string& Key,
                     const std::string& Default, std::string& Text);
    std::string GetLangText(const std::string& FormName, const std::string& Key,
                            const std::string& Default);
    // The stored text in the user's language, or "" (from the memory copy while it is open).
    void GetLangAll(const std::string& FormName, const std::string& Key, const std::string& Type,
                    std::string& Text);
    // The same in the memory copy; `Text` unchanged when no row matches.
    void GetLangAll_Local(const std::string& FormName, const std::string& Key,
                          const std::string& Type, std::string& Text);
    // Translated caption of a control; "!! ismeretlen típus !!" for a kind without one.
    void GetLangObject(const std::string& FormName, const TLangControl& Component,
                       std::string& Text);
    // Translated title of grid column / text of radio-group item `Index`.
    void GetLangSubObject(const std::string& FormName, const TLangControl& Control, int Index,
                          std::string& Text);
    // Fills the memory copy from the whole table, or closes it when it holds rows.
    void Get_Lang_Text_To_Local_MemDatabase();
    void GetLangKeyInfo(const std::string& KeyCode, TLangKeyInfo& Info);
    void GetBizonylat_nyelvInfo(int OrderValue, const std::string& ColumnName, std::string& Text);
    // The signed-in user's language: `lang` of the settings row; Hungarian ("0000040E") when
    // no settings row is open (nobody signed in) or its language is empty or "0".
    std::string UserLang() const;
    // GetLangText while the main connection is up, else `Default`.
    std::string ConfigLangText_Provided(const std::string& FormName, const std::string& Key,
                                        const std::string& Default);

  private:
    TDM& dm_;

  public:
    // Installs GetLangText as the configuration layer's text provider while the module lives.
    ScopedLangTextProvider LangTextProviderSlot{
        [this](const std::string& form, const std::string& key, const std::string& def) {
            return ConfigLangText_Provided(form, key, def);
        }};
};

}  // namespace dorvan
