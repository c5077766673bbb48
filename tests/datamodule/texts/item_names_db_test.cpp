// Printed item names by the layouts of the global settings row.

#include <gtest/gtest.h>

#include "db/errors.h"
#include "db/mem_table.h"
#include "support/dm_fixture.h"

namespace dorvan {
namespace {

class ItemNamesTest : public test::DmFixture {
  protected:
    // Stores a layout and its separator for `suffix` and makes the module read them again.
    void SetLayout(const std::string& suffix, const std::string& layout,
                   const std::string& delimiter) {
        dm->ExecSQL("update _setup_main set tetel_megnevezes" + suffix + " = :layout, " +
                        "tetel_megnevezes_delimiter" + suffix + " = :delimiter",
                    {{"layout", layout}, {"delimiter", delimiter}});
        dm->_setup_mainSQL.Close();
    }

    std::unique_ptr<db::Query> Item(int kod) {
        return dm->GetSQLResultTable(
            "select tetel.*, tetel.lang_0000040e as nev from tetel where kod = :kod",
            {{"kod", kod}});
    }
};

TEST_F(ItemNamesTest, LayoutOfEachSuffixFromTheSettings) {
    struct Case {
        const char* suffix;
        const char* layout;
        const char* delimiter;
        int item;
        const char* expected;
    };
    // Item 1: "Csavarhúzó készlet 12 részes", sor2 "Króm-vanádium acél", no sor3/sor4,
    // szoveges_kod "CSH-12", ledger account "911".
    const Case cases[] = {
        {"3", "15", "-", 1, "Csavarhúzó készlet 12 részes - 1"},
        {"", "1234", "-", 1, "Csavarhúzó készlet 12 részes - Króm-vanádium acél - "},
        {"1", "132", "/", 1, "Csavarhúzó készlet 12 részes / Króm-vanádium acél"},
        {"57", "67", "'", 1, "CSH-12 ' 911"},
        {"17", "5", "-", 3, "3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("suffix ") + c.suffix + " layout " + c.layout);
        SetLayout(c.suffix, c.layout, c.delimiter);
        auto item = Item(c.item);
        EXPECT_EQ(dm->GetBizonylatNev(*item, c.suffix), c.expected);
    }
}

TEST_F(ItemNamesTest, AnyDatasetCarriesTheItem) {
    // A memory table with the item columns, named in another letter case.
    SetLayout("3", "1234", "-");
    db::MemTable item("Sorok");
    for (const char* name : {"NEV", "SOR2", "SOR3", "SOR4"})
        item.AddField(name, db::FieldType::String, 100);
    item.AddField("KOD", db::FieldType::Integer);
    item.Open();
    item.Append();
    item.FieldByName("nev").SetAsString("Csavar");
    item.FieldByName("sor3").SetAsString("M6");
    item.Post();
    EXPECT_EQ(dm->GetBizonylatNev(item, "3"), "Csavar - M6 - ");
}

TEST_F(ItemNamesTest, SuffixWithoutLayoutColumnRaises) {
    auto item = Item(1);
    EXPECT_THROW(dm->GetBizonylatNev(*item, "99"), db::FieldNotFound);
}

}  // namespace
}  // namespace dorvan
