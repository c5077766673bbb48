// Document headers and links against the demo database: reading and finding headers,
// recording the target document, newest dates, monthly cash purchases, erasing snapshot
// copies, removing a linked movement type and the line texts following the current line.

#include <gtest/gtest.h>

#include "db/date_time.h"
#include "db/transaction.h"
#include "support/dm_fixture.h"

namespace dorvan {
namespace {

class DocHeadersTest : public test::DmFixture {
  protected:
    void TearDown() override {
        dm->ExecSQLList({
            "delete from raktar_mozgas_fej where kod >= 9000;",
            "delete from bizonylatszoveg_fej where fej_kod >= 9000;",
            "delete from partner where kod >= 9000;",
            "delete from mozgasnem where kod >= 9000;",
            "delete from _prev_raktar_mozgas_fej where kod >= 9000;",
            "delete from _prev_bizonylatszoveg_fej where kod >= 9000;",
            "delete from _prev_raktar_mozgas where kod >= 900000;",
            "delete from _prev_bizonylatszoveg where kod >= 900000;",
            "delete from _prev_raktar_mozgas_egyedi where kod >= 900000;",
            "drop trigger if exists prev_line_locked on _prev_raktar_mozgas;",
        });
    }

    void Header(int kod, int fajta, const std::string& szam) {
        dm->ExecSQL(
            "insert into raktar_mozgas_fej (kod, bizonylat_fajta, bizonylatszam) values (:kod, "
            ":fajta, :szam)",
            {{"kod", kod}, {"fajta", fajta}, {"szam", szam}});
    }

    int Count(const std::string& sql, int kod) {
        return std::stoi(dm->GetSQLResult(sql, {{"kod", kod}}));
    }

    // Rows of a snapshot: header, print texts, lines with their texts and unique items.
    int SnapshotRows(int kod) {
        return Count("select count(*) from _prev_raktar_mozgas_fej where kod = :kod", kod) +
               Count("select count(*) from _prev_bizonylatszoveg_fej where kod = :kod", kod) +
               Count("select count(*) from _prev_raktar_mozgas where fej_kod = :kod", kod) +
               Count(
                   "select count(*) from _prev_bizonylatszoveg where sor_kod in (select kod from "
                   "_prev_raktar_mozgas where fej_kod = :kod)",
                   kod) +
               Count(
                   "select count(*) from _prev_raktar_mozgas_egyedi where rm_kod in (select kod "
                   "from _prev_raktar_mozgas where fej_kod = :kod)",
                   kod);
    }

    // A snapshot of document `kod` with two lines, a text and a unique item per line.
    void Snapshot(int kod) {
        const db::ParamValues p = {{"kod", kod}, {"l1", kod * 100 + 1}, {"l2", kod * 100 + 2}};
        dm->ExecSQL("insert into _prev_raktar_mozgas_fej (kod, bizonylat_fajta) values (:kod, 5)",
                    {{"kod", kod}});
        dm->ExecSQL("insert into _prev_bizonylatszoveg_fej (kod, fej_kod) values (:kod, :kod)",
                    {{"kod", kod}});
        dm->ExecSQL(
            "insert into _prev_raktar_mozgas (kod, fej_kod) values (:l1, :kod), (:l2, :kod)", p);
        dm->ExecSQL(
            "insert into _prev_bizonylatszoveg (kod, sor_kod) values (:l1, :l1), (:l2, :l2)",
            {{"l1", kod * 100 + 1}, {"l2", kod * 100 + 2}});
        dm->ExecSQL(
            "insert into _prev_raktar_mozgas_egyedi (kod, rm_kod) values (:l1, :l1), (:l2, :l2)",
            {{"l1", kod * 100 + 1}, {"l2", kod * 100 + 2}});
    }

    void LockSnapshotLines() {
        dm->ExecSQLList({
            "create or replace function prev_line_locked() returns trigger language plpgsql as",
            "$$ begin raise exception 'snapshot line locked'; end; $$;",
            "create trigger prev_line_locked before delete on _prev_raktar_mozgas",
            "  for each row execute function prev_line_locked();",
        });
    }
};

TEST_F(DocHeadersTest, HeaderInfoOfTheDemoInvoice) {
    TRaktar_mozgas_fejInfo info;
    dm->GetRaktar_mozgas_fejInfo(4317, info);
    EXPECT_EQ(info.kod, 4317);
    EXPECT_EQ(info.bizonylatszam, "SZ2026/0000002");
    EXPECT_EQ(info.raktar_mozgas_bizonylat, "RM2026/0000003");
    EXPECT_EQ(info.bizonylat_fajta, 5);
    EXPECT_EQ(info.datum, db::EncodeDate(2026, 12, 3));
    EXPECT_EQ(info.kelte, db::EncodeDate(2026, 12, 3));
    EXPECT_EQ(info.telj_datum, db::EncodeDate(2026, 12, 3));
    EXPECT_EQ(info.fiz_hatarido, db::EncodeDate(2026, 12, 11));
    EXPECT_EQ(info.datum2, info.datum);
    EXPECT_EQ(info.partner_kod, 2);
    EXPECT_EQ(info.mozgasnem_kod, 3);
    EXPECT_EQ(info.deviza_nev, "HUF");
    EXPECT_DOUBLE_EQ(info.deviza_arfolyam, 1);
    EXPECT_EQ(info.fizetesmod_kod, 2);
    EXPECT_EQ(info.partner_nev,
              dm->GetSQLResult("select partner_nev from bizonylatszoveg_fej where fej_kod = 4317"));
    EXPECT_FALSE(info.partner_nev.empty());
}

TEST_F(DocHeadersTest, HeaderWithoutPrintTextRowOrMissingIsNotFound) {
    Header(9101, 5, "X/1");
    for (const int kod : {9101, 999999}) {
        SCOPED_TRACE(kod);
        TRaktar_mozgas_fejInfo info;
        info.kod = 1;
        dm->GetRaktar_mozgas_fejInfo(kod, info);
        EXPECT_EQ(info.kod, 0);
    }
}

TEST_F(DocHeadersTest, FindHeaderByNumberAndKind) {
    Header(9102, 10, "O'Brien/1");  // an apostrophe in the number
    Header(9104, 10, "DUP/1");
    Header(9103, 10, "DUP/1");
    struct Case {
        const char* szam;
        int fajta;
        int kod;
        const char* rmBiz;
    };
    const Case cases[] = {
        {"SZ2026/0000002", 5, 4317, "RM2026/0000003"},
        {"SZ2026/0000002", 4, -1, ""},  // the number exists under another kind only
        {"SL2026/0000001", 4, 4310, "RM2026/0000002"},
        {"NINCS/1", 5, -1, ""},
        {"O'Brien/1", 10, 9102, ""},
        {"DUP/1", 10, 9103, ""},  // the lowest key of several
        {"", 5, -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.szam) + " kind " + std::to_string(c.fajta));
        EXPECT_EQ(dm->GetFejKod(c.szam, c.fajta), c.kod);
        std::string rmBiz = "previous";
        dm->GetRkmozgBiz(c.szam, c.fajta, rmBiz);
        EXPECT_EQ(rmBiz, c.rmBiz);
    }
}

TEST_F(DocHeadersTest, NumberOfAHeaderByKey) {
    std::string szam = "previous";
    dm->GetFobizonylat(4317, szam);
    EXPECT_EQ(szam, "SZ2026/0000002");
    dm->GetFobizonylat(999999, szam);
    EXPECT_EQ(szam, "");
}

TEST_F(DocHeadersTest, SetCelbizonylatRecordsTheTarget) {
    Header(9105, 4, "SL/9105");
    EXPECT_TRUE(dm->SetCelbizonylat(9105, 4317, 5, "SZ'2026/1"));
    EXPECT_EQ(dm->GetSQLResult("select cel_bizonylat, cel_bizonylat_kod, cel_bizonylat_fajta "
                               "from raktar_mozgas_fej where kod = 9105"),
              "SZ'2026/1,4317,5");
    // A number too long for the column: the statement fails, false, nothing changes.
    EXPECT_FALSE(dm->SetCelbizonylat(9105, 1, 1, std::string(40, '9')));
    EXPECT_EQ(dm->GetSQLResult("select cel_bizonylat, cel_bizonylat_kod, cel_bizonylat_fajta "
                               "from raktar_mozgas_fej where kod = 9105"),
              "SZ'2026/1,4317,5");
    // No such header: nothing recorded, and not reported as done.
    EXPECT_FALSE(dm->SetCelbizonylat(999999, 4317, 5, "SZ2026/1"));
    EXPECT_EQ(dm->GetSQLResult("select count(*) from raktar_mozgas_fej where kod = 999999"), "0");
}

TEST_F(DocHeadersTest, LastRecordingMoment) {
    dm->ExecSQLList({
        "insert into raktar_mozgas_fej (kod, datum, ido) values",
        "  (9111, '2099-01-01', '09:00:00'), (9112, '2099-01-01', '10:30:15'),",
        "  (9113, '2098-12-31', '23:59:59'), (9114, null, null);",
    });
    TBizKelt kelt;
    dm->GetLastBizKelt(kelt);
    EXPECT_EQ(kelt.Datum, db::EncodeDate(2099, 1, 1));
    EXPECT_EQ(kelt.Ido, db::EncodeTime(10, 30, 15));

    // An empty header table gives 0 and 0.
    db::Transaction tx(dm->ZConnection);
    dm->ExecSQL("delete from raktar_mozgas_fej");
    kelt = {1, 1};
    dm->GetLastBizKelt(kelt);
    EXPECT_EQ(kelt.Datum, 0);
    EXPECT_EQ(kelt.Ido, 0);
}

TEST_F(DocHeadersTest, LatestIssueDateOfAKind) {
    dm->ExecSQLList({
        "insert into raktar_mozgas_fej (kod, bizonylat_fajta, kelte) values",
        "  (9121, 57, '2026-01-05'), (9122, 57, '2026-03-01'), (9123, 57, null);",
    });
    EXPECT_EQ(dm->GetLastFobizBizKelt(57), db::EncodeDate(2026, 3, 1));
    EXPECT_EQ(dm->GetLastFobizBizKelt(58), 0);  // a kind without headers
}

TEST_F(DocHeadersTest, MonthlyCashPurchasesOfAPartner) {
    dm->ExecSQL("insert into partner (kod, nev) values (9201, 'Kp Vevő')");
    // Payment method 1 is cash, 2 is bank transfer.
    dm->ExecSQLList({
        "insert into raktar_mozgas_fej (kod, bizonylat_fajta, partner_kod, kelte,",
        "  fizetesmod_kod, brutto_arbevetel_vegosszeg) values",
        "  (9131, 5, 9201, '2031-05-03', 1, 1000),",   // cash invoice
        "  (9132, 5, 9201, '2031-05-20', 1, -1000),",  // its reversal
        "  (9133, 3, 9201, '2031-06-02', 1, 250.4),",  // receipt
        "  (9134, 14, 9201, '2031-06-10', 1, 100),",   // purchase ticket
        "  (9135, 16, 9201, '2031-06-11', 1, 49.7),",  // advance invoice
        "  (9136, 5, 9201, '2031-06-12', 2, 500),",    // bank transfer: not cash
        "  (9137, 4, 9201, '2031-06-13', 1, 700),",    // delivery note: not counted
        "  (9138, 5, 9201, '2032-06-14', 1, 900);",    // another year
    });
    struct Case {
        int year;
        int month;
        int expected;
    };
    const Case cases[] = {
        {2031, 5, 0},    // an invoice and its reversal cancel out
        {2031, 6, 400},  // 250.4 + 100 + 49.7
        {2031, 7, 0},    // no purchases
        {2032, 6, 900},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        EXPECT_EQ(dm->GetPartner_kp_forgalom(9201, c.year, c.month), c.expected);
    }
}

TEST_F(DocHeadersTest, ErasePrevRemovesTheWholeSnapshot) {
    Snapshot(9301);
    Snapshot(9302);
    ASSERT_EQ(SnapshotRows(9301), 8);
    EXPECT_TRUE(dm->ErasePrev(9301));
    EXPECT_EQ(SnapshotRows(9301), 0);
    EXPECT_EQ(SnapshotRows(9302), 8);  // another document's snapshot stays

    // The demo invoice's snapshot, with lines, line texts and unique items.
    ASSERT_GT(SnapshotRows(4317), 3);
    EXPECT_TRUE(dm->ErasePrev(4317));
    EXPECT_EQ(SnapshotRows(4317), 0);
    EXPECT_EQ(dm->GetSQLResult("select count(*) from raktar_mozgas where fej_kod = 4317"), "10");
}

TEST_F(DocHeadersTest, ErasePrevIsAllOrNothing) {
    Snapshot(9303);
    LockSnapshotLines();  // the last statement fails
    EXPECT_FALSE(dm->ErasePrev(9303));
    EXPECT_EQ(SnapshotRows(9303), 8);  // nothing erased, not even the header
    EXPECT_FALSE(dm->ZConnection.InTransaction());

    dm->ExecSQL("drop trigger prev_line_locked on _prev_raktar_mozgas");
    EXPECT_TRUE(dm->ErasePrev(9303));
    EXPECT_EQ(SnapshotRows(9303), 0);
}

TEST_F(DocHeadersTest, ErasePrevInsideTheCallersTransaction) {
    Snapshot(9304);
    Snapshot(9305);
    LockSnapshotLines();
    {
        db::Transaction tx(dm->ZConnection);
        dm->ExecSQL("insert into partner (kod, nev) values (9202, 'Tranzakcióban')");
        EXPECT_FALSE(dm->ErasePrev(9304));
        // The caller's transaction goes on and keeps its own work.
        dm->ExecSQL("drop trigger prev_line_locked on _prev_raktar_mozgas");
        EXPECT_TRUE(dm->ErasePrev(9305));
        tx.Commit();
    }
    EXPECT_EQ(SnapshotRows(9304), 8);
    EXPECT_EQ(SnapshotRows(9305), 0);
    EXPECT_EQ(dm->GetSQLResult("select nev from partner where kod = 9202"), "Tranzakcióban");
}

TEST_F(DocHeadersTest, DeleteLinkedMovementType) {
    dm->ExecSQLList({
        "insert into mozgasnem (kod, lang_0000040e, kapcsolt_mozgas) values",
        "  (9400, 'Alap', 0), (9402, 'Második', 9400), (9401, 'Első', 9400);",
    });
    dm->Delete_kapcsolt_mozgasnem(9400);
    EXPECT_EQ(dm->GetSQLResult("select string_agg(kod::text, ';' order by kod) from mozgasnem "
                               "where kod >= 9400"),
              "9400;9402");
    dm->Delete_kapcsolt_mozgasnem(9399);  // nothing links to it
    EXPECT_EQ(dm->GetSQLResult("select count(*) from mozgasnem where kod >= 9400"), "2");
}

TEST_F(DocHeadersTest, LineTextsFollowTheCurrentLine) {
    dm->Raktar_mozgasZQuery.Close();
    dm->Raktar_mozgasZQuery.ParamByName("biz").SetAsInteger(4317);
    dm->Raktar_mozgasZQuery.Open();
    ASSERT_EQ(dm->Raktar_mozgasZQuery.RecordCount(), 10);
    int lines = 0;
    for (dm->Raktar_mozgasZQuery.First(); !dm->Raktar_mozgasZQuery.Eof();
         dm->Raktar_mozgasZQuery.Next()) {
        const auto line = dm->Raktar_mozgasZQuery.FieldByName("kod").AsInteger();
        SCOPED_TRACE(line);
        ASSERT_TRUE(dm->bizonylatszovegZQuery.Active());
        ASSERT_EQ(dm->bizonylatszovegZQuery.RecordCount(), 1);
        EXPECT_EQ(dm->bizonylatszovegZQuery.FieldByName("sor_kod").AsInteger(), line);
        EXPECT_EQ(dm->bizonylatszovegZQuery.FieldByName("nev").AsString(),
                  dm->GetSQLResult("select nev from bizonylatszoveg where sor_kod = :kod",
                                   {{"kod", line}}));
        ++lines;
    }
    EXPECT_EQ(lines, 10);
}

}  // namespace
}  // namespace dorvan
