// Captions of Qt widgets translated through the data module's text services.

#include "app/lang_widgets.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <memory>
#include <string>

#include "support/dm_fixture.h"

namespace dorvan::test {
namespace {

class LangWidgetsTest : public DmFixture {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "dm_lang_widgets_test";
        static char* argv[] = {name, nullptr};
        if (QApplication::instance() == nullptr)
            app_ = std::make_unique<QApplication>(argc, argv);
    }
    static void TearDownTestSuite() { app_.reset(); }

    void SetUp() override {
        DmFixture::SetUp();
        Exec("TRUNCATE lang_text, _setup RESTART IDENTITY");
        Exec("INSERT INTO _setup (userid, color_main, lang) VALUES ('en', 1, '00000409')");
        Exec(
            "INSERT INTO lang_text (lang_0000040e, lang_00000409, lang_formname, lang_object_type,"
            " lang_object) VALUES"
            " ('Név:', 'Name:', 'TForm2', 'LABL', 'Label1'),"
            " ('Fájl', 'File', 'TForm2', 'MITM', 'MenuItem1'),"
            " ('Általános', 'General', 'TForm2', 'TBSH', 'TabSheet1'),"
            " ('Típus', 'Type', 'TForm2', 'RGRP', 'RadioGroup1'),"
            " ('Magánszemély', 'Private person', 'TForm2', 'RGIT', 'RadioGroup1%1'),"
            " ('Nettó ár', 'Net price', 'TForm2', 'GCOL', 'DBGrid1%netto_ar'),"
            " ('Ment', 'Save', 'TForm2', 'SPBN', 'SpeedButton1'),"
            " ('Nyomtatás', 'Print', 'TForm2', 'ACTN', 'Action1')");
        dm->SetSetup("en");
    }

    void Translate(QWidget& form) {
        app::TranslateLangWidgets(
            form,
            [this](const TLangControl& c, std::string& text) {
                dm->GetLangObject("TForm2", c, text);
            },
            [this](const TLangControl& c, int index, std::string& text) {
                dm->GetLangSubObject("TForm2", c, index, text);
            });
    }

    static std::unique_ptr<QApplication> app_;
};

std::unique_ptr<QApplication> LangWidgetsTest::app_;

template <typename T>
T* Named(QObject* parent, const char* name) {
    auto* w = new T(qobject_cast<QWidget*>(parent));
    w->setObjectName(QString::fromUtf8(name));
    return w;
}

TEST_F(LangWidgetsTest, FormCaptionsColumnsAndItemsAreTranslated) {
    QWidget form;
    form.setObjectName("TForm2");
    auto* label = Named<QLabel>(&form, "Label1");
    label->setText("Név:");
    auto* button = Named<QPushButton>(&form, "BitBtn1");
    button->setText("Rendben");
    auto* tool = Named<QToolButton>(&form, "SpeedButton1");
    tool->setText("Ment");
    auto* check = Named<QCheckBox>(&form, "CheckBox1");
    check->setText("Aktív");
    auto* group = Named<QGroupBox>(&form, "RadioGroup1");
    group->setTitle("Típus");
    auto* company = Named<QRadioButton>(group, "RadioButton1");
    company->setText("Cég");
    auto* person = Named<QRadioButton>(group, "RadioButton2");
    person->setText("Magánszemély");
    auto* tabs = Named<QTabWidget>(&form, "PageControl1");
    auto* page = new QWidget;
    page->setObjectName("TabSheet1");
    tabs->addTab(page, "Általános");
    auto* menu = Named<QMenu>(&form, "PopupMenu1");
    auto* item = menu->addAction("Fájl");
    item->setObjectName("MenuItem1");
    auto* separator = menu->addSeparator();
    separator->setObjectName("N1");
    auto* action = new QAction("Nyomtatás", &form);
    action->setObjectName("Action1");
    auto* grid = Named<QTableView>(&form, "DBGrid1");
    QStandardItemModel model(0, 2);
    model.setHeaderData(0, Qt::Horizontal, "Név");
    model.setHeaderData(0, Qt::Horizontal, "nev", Qt::UserRole);
    model.setHeaderData(1, Qt::Horizontal, "Nettó ár");
    model.setHeaderData(1, Qt::Horizontal, "netto_ar", Qt::UserRole);
    grid->setModel(&model);

    Translate(form);

    EXPECT_EQ(label->text(), "Name:");
    EXPECT_EQ(tool->text(), "Save");
    EXPECT_EQ(group->title(), "Type");
    EXPECT_EQ(person->text(), "Private person");
    EXPECT_EQ(tabs->tabText(0), "General");
    EXPECT_EQ(item->text(), "File");
    EXPECT_EQ(action->text(), "Print");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Net price");
    // Without a stored text the designed caption stays and a row is added for translators.
    EXPECT_EQ(button->text(), "Rendben");
    EXPECT_EQ(check->text(), "Aktív");
    EXPECT_EQ(company->text(), "Cég");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Név");
    EXPECT_TRUE(separator->isSeparator());

    struct Row {
        const char* key;
        const char* type;
        const char* hungarian;
    };
    const Row rows[] = {{"BitBtn1", "BTBN", "Rendben"},
                        {"CheckBox1", "CHKB", "Aktív"},
                        {"RadioGroup1%0", "RGIT", "Cég"},
                        {"DBGrid1%nev", "GCOL", "Név"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.key);
        EXPECT_EQ(Scalar("select lang_object_type || '|' || lang_0000040e || '|' || lang_00000409"
                         " from lang_text where lang_formname = 'TForm2' and lang_object = :k",
                         {{"k", r.key}}),
                  std::string(r.type) + "|" + r.hungarian + "|???");
    }
    // Radio buttons of a group are its items, not controls of their own; separators and
    // unnamed Qt internals get no row.
    EXPECT_EQ(Count("select count(*) from lang_text where lang_object in"
                    " ('RadioButton1', 'RadioButton2', 'N1', 'PageControl1', 'PopupMenu1')"),
              0);
    EXPECT_EQ(Count("select count(*) from lang_text"), 12);
}

TEST_F(LangWidgetsTest, DescriptionsOfWidgetKinds) {
    QWidget form;
    auto* box = Named<QGroupBox>(&form, "Panel1");
    box->setTitle("Adatok");
    const TLangControl panel = app::DescribeLangControl(*box);
    EXPECT_EQ(panel.kind, LangControlKind::Panel);
    EXPECT_EQ(panel.name, "Panel1");
    EXPECT_EQ(panel.caption, "Adatok");
    EXPECT_TRUE(panel.items.empty());

    auto* plain = Named<QWidget>(&form, "Widget1");
    EXPECT_EQ(app::DescribeLangControl(*plain).kind, LangControlKind::Other);
    std::string text;
    dm->GetLangObject("TForm2", app::DescribeLangControl(*plain), text);
    EXPECT_EQ(text, "!! ismeretlen típus !!");

    QAction free("Mentés");
    EXPECT_EQ(app::DescribeLangControl(free).kind, LangControlKind::Action);
}

}  // namespace
}  // namespace dorvan::test
