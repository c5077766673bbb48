// Composition of printed item names over an in-memory item row.

#include <gtest/gtest.h>

#include "datamodule/texts/item_names.h"
#include "db/errors.h"
#include "db/mem_table.h"

namespace dorvan {
namespace {

struct Item {
    const char* nev;
    const char* sor2;
    const char* sor3;
    const char* sor4;
    int kod;
};

// An item row with the five common columns and, when asked, the two optional ones.
void FillItem(db::MemTable& t, const Item& item, bool optionalColumns,
              const char* szoveges_kod = "", const char* fokonyviszam = "") {
    t.AddField("NEV", db::FieldType::String, 100);  // names match without regard to case
    t.AddField("sor2", db::FieldType::String, 100);
    t.AddField("Sor3", db::FieldType::String, 100);
    t.AddField("sor4", db::FieldType::String, 100);
    t.AddField("kod", db::FieldType::Integer);
    if (optionalColumns) {
        t.AddField("szoveges_kod", db::FieldType::String, 40);
        t.AddField("kapcsolt_fokonyviszam", db::FieldType::String, 20);
    }
    t.Open();
    t.Append();
    t.FieldByName("nev").SetAsString(item.nev);
    t.FieldByName("sor2").SetAsString(item.sor2);
    t.FieldByName("sor3").SetAsString(item.sor3);
    t.FieldByName("sor4").SetAsString(item.sor4);
    t.FieldByName("kod").SetAsInteger(item.kod);
    if (optionalColumns) {
        t.FieldByName("szoveges_kod").SetAsString(szoveges_kod);
        t.FieldByName("kapcsolt_fokonyviszam").SetAsString(fokonyviszam);
    }
    t.Post();
}

TEST(ComposeBizonylatNev, LayoutsAndSeparatorRule) {
    struct Case {
        const char* name;
        Item item;
        bool optionalColumns;
        const char* layout;
        const char* delimiter;
        const char* expected;
    };
    const Case cases[] = {
        {"name and key", {"Csavar", "", "", "", 12}, false, "15", "-", "Csavar - 12"},
        {"empty middle component: separator before it, none after it",
         {"A", "", "Z", "", 1},
         false,
         "123",
         "-",
         "A - Z"},
        {"empty last component keeps the trailing separator",
         {"A", "", "", "", 1},
         false,
         "12",
         "-",
         "A - "},
        {"empty first component adds no separator",
         {"", "B", "C", "", 1},
         false,
         "123",
         "/",
         "B / C"},
        {"two empty components in a row", {"A", "", "", "D", 1}, false, "1234", "-", "A - D"},
        {"empty layout", {"A", "B", "C", "D", 1}, false, "", "-", ""},
        {"all components in another order",
         {"A", "B", "C", "D", 7},
         false,
         "54321",
         "|",
         "7 | D | C | B | A"},
        {"blanks only count as filled before trimming",
         {"A", "  ", "Z", "", 1},
         false,
         "123",
         "-",
         "A -  - Z"},
        {"values are trimmed", {"  Csavar ", "", "", "", 3}, false, "15", "-", "Csavar - 3"},
        {"characters that choose nothing are skipped",
         {"A", "B", "", "", 1},
         false,
         "0x1 82",
         "-",
         "A - B"},
        {"the demo layout of leading zeros",
         {"A", "B", "C", "D", 1},
         false,
         "000001234",
         "-",
         "A - B - C - D"},
        {"only nine positions are read", {"A", "B", "", "", 1}, false, "0000000012", "-", "A"},
        {"multi-character separator and accented text",
         {"Csavarhúzó", "króm", "", "", 1},
         false,
         "12",
         "–>",
         "Csavarhúzó –> króm"},
        {"6 and 7 without their columns add nothing",
         {"A", "", "", "", 1},
         false,
         "1672",
         "-",
         "A - "},
        {"6 and 7 with their columns", {"A", "", "", "", 1}, true, "167", "-", "A - SK - 911"},
        {"repeated component", {"A", "", "", "", 1}, false, "11", "+", "A + A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db::MemTable t("Tetel");
        FillItem(t, c.item, c.optionalColumns, "SK", "911");
        EXPECT_EQ(ComposeBizonylatNev(t, c.layout, c.delimiter), c.expected);
    }
}

TEST(ComposeBizonylatNev, MissingCommonColumnRaisesFieldNotFound) {
    db::MemTable t("Tetel");
    t.AddField("nev", db::FieldType::String, 100);
    t.AddField("kod", db::FieldType::Integer);
    t.Open();
    t.Append();
    t.FieldByName("nev").SetAsString("A");
    t.FieldByName("kod").SetAsInteger(1);
    t.Post();
    EXPECT_EQ(ComposeBizonylatNev(t, "15", "-"), "A - 1");
    EXPECT_THROW(ComposeBizonylatNev(t, "12", "-"), db::FieldNotFound);
}

TEST(ComposeBizonylatNev, FollowsTheCurrentRow) {
    db::MemTable t("Tetel");
    FillItem(t, {"Első", "", "", "", 1}, false);
    t.Append();
    t.FieldByName("nev").SetAsString("Második");
    t.FieldByName("kod").SetAsInteger(2);
    t.Post();
    t.First();
    EXPECT_EQ(ComposeBizonylatNev(t, "15", "-"), "Első - 1");
    t.Next();
    EXPECT_EQ(ComposeBizonylatNev(t, "15", "-"), "Második - 2");
}

}  // namespace
}  // namespace dorvan
