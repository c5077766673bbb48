#include <gtest/gtest.h>

#include "db/errors.h"
#include "db/mem_table.h"

namespace dorvan::db {
namespace {

class MemTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        t.AddField("kod", FieldType::Integer);
        t.AddField("nev", FieldType::String, 40);
        t.AddField("ar", FieldType::Float);
        t.Open();
        const struct {
            int kod;
            const char* nev;
            double ar;
        } rows[] = {{1, "alma", 10}, {2, "Körte", 20.5}, {3, "szilva", 30}};
        for (const auto& r : rows) {
            t.Append();
            t.FieldByName("kod").SetAsInteger(r.kod);
            t.FieldByName("nev").SetAsString(r.nev);
            t.FieldByName("ar").SetAsFloat(r.ar);
            t.Post();
        }
        t.First();
    }
    MemTable t{"MemTable1"};
};

TEST_F(MemTableTest, NavigatesWithEofAndBof) {
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_TRUE(t.Bof());
    std::vector<std::string> seen;
    while (!t.Eof()) {
        seen.push_back(t.FieldByName("NEV").AsString());
        t.Next();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"alma", "Körte", "szilva"}));
    EXPECT_EQ(t.RecNo(), 3);  // Next at the last row does not move
    t.Prior();
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_FALSE(t.Eof());
    t.Last();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.FieldByName("kod").AsInteger(), 3);
    t.First();
    t.Prior();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 1);
}

TEST_F(MemTableTest, LocatesByOneOrSeveralColumns) {
    struct Case {
        const char* fields;
        std::vector<Value> values;
        LocateOptions options;
        bool found;
        int recNo;
    };
    const Case cases[] = {
        {"kod", {2}, {}, true, 2},
        {"kod", {"3"}, {}, true, 3},
        {"nev", {"körte"}, {}, false, 0},
        {"nev", {"KÖRTE"}, {true, false}, true, 2},
        {"nev", {"SZIL"}, {true, true}, true, 3},
        {"kod;nev", {1, "alma"}, {}, true, 1},
        {"kod;nev", {1, "szilva"}, {}, false, 0},
        {"ar", {20.5}, {}, true, 2},
        {"kod", {Value()}, {}, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields);
        t.SetRecNo(1);
        EXPECT_EQ(t.Locate(c.fields, c.values, c.options), c.found);
        EXPECT_EQ(t.RecNo(), c.found ? c.recNo : 1);
    }
    EXPECT_THROW(t.Locate("nincs", {1}), FieldNotFound);
}

TEST_F(MemTableTest, EditPostAndCancel) {
    t.Locate("kod", {2});
    t.Edit();
    t.FieldByName("ar").SetAsFloat(99);
    EXPECT_EQ(t.State(), DataSetState::Edit);
    t.Cancel();
    EXPECT_EQ(t.FieldByName("ar").AsFloat(), 20.5);
    t.Edit();
    t.FieldByName("ar").SetAsString("21,5");
    t.Post();
    EXPECT_EQ(t.State(), DataSetState::Browse);
    EXPECT_EQ(t.FieldByName("ar").AsFloat(), 21.5);
    EXPECT_THROW(t.FieldByName("ar").SetAsFloat(1), DataSetError);  // browse state
    t.Delete();
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.FieldByName("kod").AsInteger(), 3);
}

TEST_F(MemTableTest, NavigationPostsPendingEdit) {
    t.Edit();
    t.FieldByName("nev").SetAsString("birs");
    t.Next();
    t.First();
    EXPECT_EQ(t.FieldByName("nev").AsString(), "birs");
}

TEST(MemTable, CalculatedFieldFollowsCurrentRow) {
    MemTable t("Szamol");
    t.AddField("mennyiseg", FieldType::Float);
    t.AddField("ar", FieldType::Float);
    t.AddCalculatedField("ertek", FieldType::Float);
    int calls = 0;
    t.OnCalcFields = [&calls](DataSet& ds) {
        ++calls;
        ds.FieldByName("ertek").SetAsFloat(ds.FieldByName("mennyiseg").AsFloat() *
                                           ds.FieldByName("ar").AsFloat());
    };
    t.Open();
    for (double q : {2.0, 3.0}) {
        t.Append();
        t.FieldByName("mennyiseg").SetAsFloat(q);
        t.FieldByName("ar").SetAsFloat(10);
        t.Post();
    }
    t.First();
    EXPECT_EQ(t.FieldByName("ertek").AsFloat(), 20);
    t.Next();
    EXPECT_EQ(t.FieldByName("ertek").AsFloat(), 30);
    EXPECT_GT(calls, 0);
    EXPECT_THROW(t.FieldByName("ertek").SetAsFloat(1), DataSetError);
    EXPECT_THROW(t.AddCalculatedField("x", FieldType::Float), DataSetError);
}

TEST(MemTable, RequiredFieldStopsPostUntilSwitchedOff) {
    MemTable t("Kotelezo");
    t.AddField("nev", FieldType::String, 10, true);
    t.Open();
    t.Append();
    try {
        t.Post();
        FAIL() << "Post accepted an empty required field";
    } catch (const DataSetError& e) {
        EXPECT_STREQ(e.what(), "Field 'nev' must have a value");
    }
    EXPECT_EQ(t.State(), DataSetState::Insert);
    t.FieldByName("nev").SetRequired(false);
    t.Post();
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_TRUE(t.FieldByName("nev").IsNull());
}

TEST(MemTable, ClosedDatasetRefusesWork) {
    MemTable t("Zart");
    t.AddField("a", FieldType::Integer);
    EXPECT_THROW(t.Append(), DataSetError);
    EXPECT_THROW(t.First(), DataSetError);
    EXPECT_EQ(t.FindField("A"), nullptr);  // fields appear when opened
    t.Open();
    EXPECT_NE(t.FindField("A"), nullptr);
    EXPECT_TRUE(t.IsEmpty());
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.FieldByName("a").IsNull());
}

}  // namespace
}  // namespace dorvan::db

namespace dorvan::db {
namespace {

TEST(MemTable, AutoIncrementAndCutToSizeInCharacters) {
    MemTable t("Lang_textMemory");
    t.AddAutoIncField("Kod");
    t.AddField("Lang_0000040E", FieldType::String, 5);
    t.Open();
    const struct {
        const char* text;
        const char* stored;
    } cases[] = {{"árvíztűrő", "árvíz"}, {"abc", "abc"}, {"ŐŐŐŐŐŐ", "ŐŐŐŐŐ"}};
    std::int64_t expectedKod = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        t.Append();
        t.FieldByName("lang_0000040e").SetAsString(c.text);
        t.Post();
        EXPECT_EQ(t.FieldByName("Lang_0000040E").AsString(), c.stored);
        EXPECT_EQ(t.FieldByName("kod").AsInteger(), expectedKod++);
    }
}

TEST(MemTable, CopiesRowsByFieldName) {
    MemTable source("Forras");
    source.AddField("kod", FieldType::Integer);
    source.AddField("nev", FieldType::String);
    source.AddField("csak_forras", FieldType::String);
    source.Open();
    for (int k : {5, 6}) {
        source.Append();
        source.FieldByName("kod").SetAsInteger(k);
        source.FieldByName("nev").SetAsString("n" + std::to_string(k));
        source.FieldByName("csak_forras").SetAsString("x");
        source.Post();
    }
    MemTable copy("Masolat");
    copy.AddField("NEV", FieldType::String, 10);
    copy.AddField("KOD", FieldType::Integer);
    copy.AddField("csak_cel", FieldType::String);
    copy.CopyRowsFrom(source);
    ASSERT_EQ(copy.RecordCount(), 2);
    copy.First();
    EXPECT_EQ(copy.FieldByName("kod").AsInteger(), 5);
    EXPECT_EQ(copy.FieldByName("nev").AsString(), "n5");
    EXPECT_TRUE(copy.FieldByName("csak_cel").IsNull());
    EXPECT_EQ(copy.FindField("csak_forras"), nullptr);
}

}  // namespace
}  // namespace dorvan::db
