#pragma once
// Multi-language texts: the records and control descriptions of the text services of TDM
// (lang_texts.cpp). The data module knows no widgets: the window layer describes a control
// (its kind, name and caption, or its columns/items) and applies the text it gets back.

#include <string>
#include <utility>
#include <vector>

#include "config/lang_text.h"

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

}  // namespace dorvan
