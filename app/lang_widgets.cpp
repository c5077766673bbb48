// Qt widgets described for the data module's text services, and the texts applied back.

#include "app/lang_widgets.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

namespace dorvan::app {

namespace {

std::string Std(const QString& s) {
    return s.toStdString();
}

QList<QRadioButton*> RadioItems(const QGroupBox& box) {
    return box.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
}

// The tab widget whose page `w` is (pages sit in the tab widget's stack), and its index.
QTabWidget* TabOf(const QWidget& w, int& index) {
    const QWidget* stack = w.parentWidget();
    auto* tabs = stack != nullptr ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs == nullptr)
        return nullptr;
    index = tabs->indexOf(const_cast<QWidget*>(&w));
    return index >= 0 ? tabs : nullptr;
}

bool IsRadioGroupItem(const QObject& object) {
    const auto* radio = qobject_cast<const QRadioButton*>(&object);
    if (radio == nullptr)
        return false;
    return qobject_cast<const QGroupBox*>(radio->parent()) != nullptr;
}

}  // namespace

TLangControl DescribeLangControl(const QObject& object) {
    TLangControl c;
    c.name = Std(object.objectName());
    if (const auto* label = qobject_cast<const QLabel*>(&object)) {
        c.kind = LangControlKind::Label;
        c.caption = Std(label->text());
    } else if (const auto* check = qobject_cast<const QCheckBox*>(&object)) {
        c.kind = LangControlKind::CheckBox;
        c.caption = Std(check->text());
    } else if (const auto* radio = qobject_cast<const QRadioButton*>(&object)) {
        c.kind = LangControlKind::RadioButton;
        c.caption = Std(radio->text());
    } else if (const auto* push = qobject_cast<const QPushButton*>(&object)) {
        c.kind = LangControlKind::BitButton;
        c.caption = Std(push->text());
    } else if (const auto* tool = qobject_cast<const QToolButton*>(&object)) {
        c.kind = LangControlKind::SpeedButton;
        c.caption = Std(tool->text());
    } else if (const auto* box = qobject_cast<const QGroupBox*>(&object)) {
        c.caption = Std(box->title());
        const auto radios = RadioItems(*box);
        c.kind = radios.isEmpty() ? LangControlKind::Panel : LangControlKind::RadioGroup;
        for (const QRadioButton* r : radios)
            c.items.push_back({Std(r->objectName()), Std(r->text())});
    } else if (const auto* action = qobject_cast<const QAction*>(&object)) {
        bool inMenu = false;
        for (const QObject* o : action->associatedObjects())
            inMenu = inMenu || qobject_cast<const QMenu*>(o) != nullptr;
        c.kind = inMenu ? LangControlKind::MenuItem : LangControlKind::Action;
        c.caption = Std(action->isSeparator() ? QStringLiteral("-") : action->text());
    } else if (const auto* table = qobject_cast<const QTableView*>(&object)) {
        c.kind = LangControlKind::Grid;
        if (const QAbstractItemModel* model = table->model()) {
            for (int i = 0; i < model->columnCount(); ++i) {
                const QString title = model->headerData(i, Qt::Horizontal).toString();
                const QVariant field = model->headerData(i, Qt::Horizontal, Qt::UserRole);
                c.items.push_back({Std(field.isValid() ? field.toString() : title), Std(title)});
            }
        }
    } else if (const auto* widget = qobject_cast<const QWidget*>(&object)) {
        int index = -1;
        if (const QTabWidget* tabs = TabOf(*widget, index)) {
            c.kind = LangControlKind::TabSheet;
            c.caption = Std(tabs->tabText(index));
        }
    }
    return c;
}

void ApplyLangText(QObject& object, const std::string& text, int item) {
    const QString t = QString::fromStdString(text);
    if (item >= 0) {
        if (auto* box = qobject_cast<QGroupBox*>(&object)) {
            const auto radios = RadioItems(*box);
            if (item < radios.size())
                radios[item]->setText(t);
        } else if (auto* table = qobject_cast<QTableView*>(&object)) {
            if (QAbstractItemModel* model = table->model())
                model->setHeaderData(item, Qt::Horizontal, t);
        }
        return;
    }
    if (auto* label = qobject_cast<QLabel*>(&object)) {
        label->setText(t);
    } else if (auto* button = qobject_cast<QAbstractButton*>(&object)) {
        button->setText(t);
    } else if (auto* box = qobject_cast<QGroupBox*>(&object)) {
        box->setTitle(t);
    } else if (auto* action = qobject_cast<QAction*>(&object)) {
        if (!action->isSeparator())
            action->setText(t);
    } else if (auto* widget = qobject_cast<QWidget*>(&object)) {
        int index = -1;
        if (QTabWidget* tabs = TabOf(*widget, index))
            tabs->setTabText(index, t);
    }
}

void TranslateLangWidgets(QWidget& form, const LangObjectFn& object, const LangSubObjectFn& sub) {
    for (QObject* o : form.findChildren<QObject*>()) {
        if (o->objectName().isEmpty() || o->objectName().startsWith(QStringLiteral("qt_")) ||
            IsRadioGroupItem(*o))
            continue;
        const TLangControl c = DescribeLangControl(*o);
        if (c.kind == LangControlKind::Other)
            continue;
        if (c.kind != LangControlKind::Grid) {
            std::string text;
            object(c, text);
            ApplyLangText(*o, text);
        }
        for (int i = 0; i < static_cast<int>(c.items.size()); ++i) {
            std::string text;
            sub(c, i, text);
            ApplyLangText(*o, text, i);
        }
    }
}

}  // namespace dorvan::app
