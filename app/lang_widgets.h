#pragma once
// Window side of the multi-language texts: describes Qt widgets and actions the way the data
// module's text services take them (kind, name, caption, columns/items) and applies the
// texts they return.
//
// Counterparts: QLabel - label, QPushButton - push button (BTBN), QToolButton - tool button
// (SPBN), QCheckBox - check box, QRadioButton - radio button, QGroupBox - panel, or radio
// group when radio buttons sit directly in it (they are then its items), a page of a
// QTabWidget - tab sheet, QAction - menu item when it is in a menu, else action, a QTableView
// - grid (its columns; a column's field name is the header's Qt::UserRole data, else its
// title). Anything else is described with the kind Other.

#include <functional>
#include <string>

#include "datamodule/texts/lang_texts.h"

class QObject;
class QWidget;

namespace dorvan::app {

TLangControl DescribeLangControl(const QObject& object);

// Applies a text to what DescribeLangControl described: the caption, or with `item` >= 0
// the column title / radio item text.
void ApplyLangText(QObject& object, const std::string& text, int item = -1);

// The data module's GetLangObject and GetLangSubObject, bound to a form name by the caller.
using LangObjectFn = std::function<void(const TLangControl& control, std::string& text)>;
using LangSubObjectFn =
    std::function<void(const TLangControl& control, int index, std::string& text)>;

// Translates every named widget and action of `form` (the form itself excluded) and the
// columns and radio items of grids and radio groups.
void TranslateLangWidgets(QWidget& form, const LangObjectFn& object, const LangSubObjectFn& sub);

}  // namespace dorvan::app
