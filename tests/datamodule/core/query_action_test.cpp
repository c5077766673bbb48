// Bulk opening, closing and refreshing of the data module's query components.

#include "datamodule/core/query_action.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "config/error_log.h"
#include "config/recording_ui.h"
#include "config/test_env.h"
#include "datamodule/dm.h"
#include "db/errors.h"
#include "support/db_params.h"
#include "support/pg_fixture.h"

namespace dorvan {
namespace {

using test::Contains;

class QueryActionTest : public ::testing::Test {
  protected:
    QueryActionTest() : exeEnv_("DORVAN_EXE_DIR", dir_.Str() + "/"), scope_(ui_) {}

    void SetUp() override {
        dm_.ConnectLocal(test::DatabaseParams());
        dm_.ExecSQL("CREATE TABLE IF NOT EXISTS qa_rows (kod integer PRIMARY KEY, nev text)");
        dm_.ExecSQL("DELETE FROM qa_rows");
        dm_.ExecSQL("INSERT INTO qa_rows VALUES (1, 'egy'), (2, 'kettő'), (3, 'három')");
    }

    // A query of the module on qa_rows with the given tag.
    db::Query& AddQuery(const std::string& name, int tag,
                        const std::string& sql = "select * from qa_rows order by kod") {
        auto& q = *owned_.emplace_back(std::make_unique<db::Query>(dm_.ZConnection, name));
        q.SetSqlText(sql);
        q.SetTag(tag);
        dm_.RegisterQuery(q);
        return q;
    }

    test::ScratchDir dir_;
    test::EnvVar exeEnv_;
    RecordingUi ui_;
    ScopedUiPort scope_;
    TDM dm_;
    std::vector<std::unique_ptr<db::Query>> owned_;
};

// Which queries each action touches, by tag.
TEST_F(QueryActionTest, TagRules) {
    struct Case {
        int tag;
        bool openedByOpen;
        bool openedByRefresh;  // starting closed
    };
    static constexpr Case kCases[] = {
        {0, true, true},
        {5, true, true},
        {-1, false, true},  // opened on demand only, but refreshed
        {10, false, true},  // refreshed, never opened in bulk
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.tag);
        db::Query& q = AddQuery("Q" + std::to_string(c.tag), c.tag);
        EXPECT_TRUE(QueryAction(dm_, q, "OPEN"));
        EXPECT_EQ(q.Active(), c.openedByOpen);
        q.Close();
        EXPECT_TRUE(QueryAction(dm_, q, "REFRESH"));
        EXPECT_EQ(q.Active(), c.openedByRefresh);
        q.Open();
        EXPECT_TRUE(QueryAction(dm_, q, "CLOSE"));
        EXPECT_EQ(q.Active(), !c.openedByOpen);
    }
}

TEST_F(QueryActionTest, RefreshKeepsTheCurrentRowAndReadsNewData) {
    db::Query& q = AddQuery("RowsZQuery", 0);
    q.Open();
    ASSERT_TRUE(q.Locate("kod", {db::Value(2)}));
    dm_.ExecSQL("UPDATE qa_rows SET nev = 'KETTŐ' WHERE kod = 2");
    dm_.ExecSQL("INSERT INTO qa_rows VALUES (0, 'nulla')");  // shifts the row positions
    EXPECT_TRUE(QueryAction(dm_, q, "REFRESH"));
    EXPECT_EQ(q.FieldByName("kod").AsInteger(), 2);
    EXPECT_EQ(q.FieldByName("nev").AsString(), "KETTŐ");
    EXPECT_EQ(q.RecordCount(), 4);
}

TEST_F(QueryActionTest, RefreshWithoutKeyColumnStaysAtTheFirstRow) {
    db::Query& q = AddQuery("NamesZQuery", 0, "select nev from qa_rows order by kod desc");
    q.Open();
    q.Last();
    EXPECT_TRUE(QueryAction(dm_, q, "REFRESH"));
    EXPECT_EQ(q.RecNo(), 1);
}

TEST_F(QueryActionTest, CloseCancelsPendingChanges) {
    db::Query& q = AddQuery("RowsZQuery", 0);
    q.Open();
    q.Edit();
    q.FieldByName("nev").SetAsString("változott");
    EXPECT_TRUE(QueryAction(dm_, q, "CLOSE"));
    EXPECT_FALSE(q.Active());
    EXPECT_EQ(dm_.GetSQLResult("select nev from qa_rows where kod = 1"), "egy");
}

TEST_F(QueryActionTest, OpenFailureIsShownAndLogged) {
    db::Query& q = AddQuery("BrokenZQuery", 0, "select * from nincs_ilyen_tabla");
    EXPECT_FALSE(QueryAction(dm_, q, "OPEN"));
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0].caption, "Error");
    EXPECT_EQ(ui_.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(Contains(ui_.messages[0].text, "nincs_ilyen_tabla")) << ui_.messages[0].text;
    const std::string log = test::ReadText(ErrorLogPath());
    EXPECT_TRUE(Contains(log, ui_.messages[0].text + " [SyntaxOrAccessError]\n")) << log;
    EXPECT_EQ(ui_.waitCursorDepth, 0);
    EXPECT_EQ(ui_.tableNames.back(), "");
}

TEST_F(QueryActionTest, RefreshFailureIsSilent) {
    db::Query& q = AddQuery("BrokenZQuery", -1, "select * from nincs_ilyen_tabla");
    EXPECT_FALSE(QueryAction(dm_, q, "REFRESH"));
    EXPECT_TRUE(ui_.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(ErrorLogPath()));
}

TEST_F(QueryActionTest, NothingHappensWithoutTheMainConnection) {
    db::Query& q = AddQuery("RowsZQuery", 0);
    dm_.ZConnection.Disconnect();
    EXPECT_TRUE(QueryAction(dm_, q, "OPEN"));
    EXPECT_TRUE(OpenAllQueries(dm_, "OPEN"));
    EXPECT_FALSE(q.Active());
    EXPECT_TRUE(ui_.messages.empty());
}

// Every query is tried in component order; one failure makes the result false.
TEST_F(QueryActionTest, OpenAllGoesOnAfterAFailure) {
    db::Query& first = AddQuery("FirstZQuery", 0);
    AddQuery("BrokenZQuery", 0, "select * from nincs_ilyen_tabla");
    db::Query& onDemand = AddQuery("OnDemandZQuery", -1);
    db::Query& last = AddQuery("LastZQuery", 0);
    EXPECT_FALSE(OpenAllQueries(dm_, "OPEN"));
    EXPECT_TRUE(first.Active());
    EXPECT_FALSE(onDemand.Active());
    EXPECT_TRUE(last.Active());
    EXPECT_EQ(ui_.messages.size(), 1u);
    // Component order: the module's own components, then the ones added here; tag -1 and
    // tag 10 are left out of the bulk opening.
    std::vector<std::string> order;
    for (const db::DataSet* q : dm_.Queries) {
        if (q->Tag() >= 0 && q->Tag() != 10) {
            order.push_back(q->Name());
        }
    }
    ASSERT_GE(order.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(order.end() - 3, order.end()),
              (std::vector<std::string>{"FirstZQuery", "BrokenZQuery", "LastZQuery"}));
    std::vector<std::string> reported;
    for (const auto& name : ui_.tableNames) {
        if (!name.empty()) {
            reported.push_back(name);
        }
    }
    EXPECT_EQ(reported, order);
    EXPECT_EQ(ui_.waitCursorDepth, 0);

    EXPECT_TRUE(OpenAllQueries(dm_, "CLOSE"));
    EXPECT_FALSE(first.Active());
    EXPECT_FALSE(last.Active());
    for (const db::DataSet* q : dm_.Queries) {
        if (q->Tag() >= 0 && q->Tag() != 10) {
            EXPECT_FALSE(q->Active()) << q->Name();
        }
    }
}

}  // namespace
}  // namespace dorvan
