// Project turnover, date range and names; the partner journal with its numbers (also for two
// clients at once), attached documents and lookups; label sets.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>
#include <vector>

#include "dm_projects_support.h"

namespace dorvan::test {
namespace {

constexpr const char* kProjects = R"SQL(
TRUNCATE afa_kulcs, tetel, projekt_besorolas, projekt_statusz, projekt_utemezes, projektek,
         projektek_konyveles, raktar_mozgas_fej, raktar_mozgas, bizonylatszoveg_fej,
         szallitoi_szamlak, penzeszkoz_iktato RESTART IDENTITY;
INSERT INTO afa_kulcs (kod, lang_0000040e, afakulcs) VALUES (1, '27%', 27);
INSERT INTO tetel (kod, lang_0000040e, afa_kulcs) VALUES (1, 'Csempe', 1);
INSERT INTO projekt_besorolas (kod, lang_0000040e, automata_tervezes, hasznalatban) VALUES
  (1, 'Automatikus', 1, 1), (2, 'Kézi', 0, 0);
INSERT INTO projekt_statusz (kod, lang_0000040e, hasznalatban) VALUES
  (5, 'Folyamatban', 1), (6, 'Lezárt', 0);
INSERT INTO projekt_utemezes (kod, lang_0000040e, hasznalatban) VALUES (3, 'Heti', 1);
INSERT INTO projektek (kod, besorolas, partner_kod, datum1, datum2) VALUES
  (101, 1, 7, '2026-03-01', '2026-06-30'), (102, 2, 7, '2026-02-01', '2026-02-28'),
  (103, 2, 8, NULL, NULL);
-- A delivery note of 10 pieces at 100 (gross 127), 4 invoiced, average cost 50; it has two
-- header-text rows. A reversed delivery note does not count.
INSERT INTO raktar_mozgas_fej (kod, bizonylat_fajta, projekt, partner_kod, datum, fiz_hatarido)
  VALUES (501, 4, 101, 7, '2026-04-01', '2026-07-15'), (502, 4, 101, 7, '2026-04-02', NULL);
UPDATE raktar_mozgas_fej SET sztornozo_bizonylat_kod = 999 WHERE kod = 502;
INSERT INTO bizonylatszoveg_fej (fej_kod, partner_nev) VALUES (501, 'A'), (501, 'A'), (502, 'B');
INSERT INTO raktar_mozgas (fej_kod, tetel_kod, mennyiseg, mennyiseg_szamlazva,
  netto_egysegar_huf, brutto_egysegar_huf, forras_raktar_atlagar) VALUES
  (501, 1, 10, 4, 100, 127, 50), (502, 1, 5, 0, 100, 127, 50);
INSERT INTO projektek_konyveles (projekt, tipus, novekedes, afa, datum) VALUES
  (102, 1, 1000, 270, '2026-01-15'), (102, 1, -300, -81, '2026-03-10'), (102, 4, 55, 0, NULL),
  (102, 5, 7, 0, NULL), (103, 1, 1000, 270, '2026-05-05');
)SQL";

class ProjectsTest : public DmAreaTest {
  protected:
    void SetUp() override {
        DmAreaTest::SetUp();
        Exec(kProjects);
    }
};

TEST_F(ProjectsTest, TurnoverByModeFromDocumentsAndManualBookings) {
    struct Case {
        const char* mode;
        int key;
        double openNet, openGross;  // szallito_nyitott
        double bookNet, bookGross;  // szallito_nyilv
        double revenueNet, revenueGross;
        double costNet, costGross;
        double type4, type5;
    };
    const Case cases[] = {
        // Automatic planning: the open part of the delivery note, counted once.
        {"projekt", 101, 600, 762, 300, 381, 600, 762, 300, 381, 0, 0},
        // Manual planning: +1000 / -300 with VAT 270 / -81.
        {"projekt", 102, 0, 0, 0, 0, 1000, 1270, 300, 381, 55, 7},
        {"partner", 7, 600, 762, 300, 381, 1600, 2032, 600, 762, 55, 7},
        {"partner", 8, 0, 0, 0, 0, 1000, 1270, 0, 0, 0, 0},
        {"", 1, 600, 762, 300, 381, 2600, 3302, 600, 762, 55, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + std::to_string(c.key));
        TProjektForgalomInfo info;
        info.kod = 77;
        dm->GetProjektForgalomInfo(c.key, c.mode, info);
        EXPECT_EQ(info.kod, 0);
        EXPECT_DOUBLE_EQ(info.szallito_nyitott.egysegar, c.openNet);
        EXPECT_DOUBLE_EQ(info.szallito_nyitott.egysegar_brutto, c.openGross);
        EXPECT_EQ(info.szallito_nyitott.deviza_nev, "HUF");
        EXPECT_DOUBLE_EQ(info.szallito_nyilv.egysegar, c.bookNet);
        EXPECT_DOUBLE_EQ(info.szallito_nyilv.egysegar_brutto, c.bookGross);
        EXPECT_DOUBLE_EQ(info.nyilv_osszesen.egysegar, c.bookNet);
        EXPECT_DOUBLE_EQ(info.bevetel.egysegar, c.revenueNet);
        EXPECT_DOUBLE_EQ(info.bevetel.egysegar_brutto, c.revenueGross);
        EXPECT_DOUBLE_EQ(info.koltseg.egysegar, c.costNet);
        EXPECT_DOUBLE_EQ(info.koltseg.egysegar_brutto, c.costGross);
        EXPECT_DOUBLE_EQ(info.konyveles_4, c.type4);
        EXPECT_DOUBLE_EQ(info.konyveles_5, c.type5);
        EXPECT_DOUBLE_EQ(info.szamla.egysegar, 0);
    }
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ui.TerminateRequested());
}

TEST_F(ProjectsTest, KeyZeroQueriesNothingAndAnUnknownModeEndsTheApplication) {
    TProjektForgalomInfo info;
    info.kod = 9;
    info.bevetel.egysegar = 123;
    dm->GetProjektForgalomInfo(0, "projekt", info);
    EXPECT_EQ(info.kod, 0);
    EXPECT_DOUBLE_EQ(info.bevetel.egysegar, 123);

    dm->GetProjektForgalomInfo(101, "x", info);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Dorvan dialog");
    EXPECT_EQ(ui.messages[0].text, "GetProjektForgalomInfo - érvénytelen \"mode\" hiba: \"x\"");
    EXPECT_TRUE(ui.TerminateRequested());
    EXPECT_DOUBLE_EQ(info.bevetel.egysegar, 2600) << "the figures of all projects";
}

TEST_F(ProjectsTest, DateRangeWidenedByBookingsAndDocuments) {
    const TDateTime today = dm->GetDate();
    // A project that starts after today without an end date, and one whose end date was
    // entered before its start date.
    Exec(
        "INSERT INTO projektek (kod, besorolas, partner_kod, datum1, datum2) VALUES"
        " (104, 1, 8, '2099-01-01', NULL), (105, 1, 8, '2026-06-01', '2026-05-01')");
    struct Case {
        int key;
        TDateTime first, last;
    };
    const Case cases[] = {
        {101, db::EncodeDate(2026, 3, 1), db::EncodeDate(2026, 7, 15)},
        {102, db::EncodeDate(2026, 1, 15), db::EncodeDate(2026, 3, 10)},
        // No dates of its own: its booking's date, not today.
        {103, db::EncodeDate(2026, 5, 5), db::EncodeDate(2026, 5, 5)},
        {0, db::EncodeDate(2026, 1, 15), db::EncodeDate(2026, 7, 15)},
        {404, today, today},
        // The range never ends before it starts.
        {104, today, today},
        {105, db::EncodeDate(2026, 5, 1), db::EncodeDate(2026, 5, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        TProjektDatum range;
        dm->GetMaxMinProjektDatum(c.key, range);
        EXPECT_DOUBLE_EQ(range.datum1, c.first);
        EXPECT_DOUBLE_EQ(range.datum2, c.last);
    }
}

TEST_F(ProjectsTest, NamesOfCategoryScheduleAndStatus) {
    struct Case {
        const char* table;
        int key;
        const char* name;
    };
    const Case cases[] = {
        {"projekt_statusz", 5, "Folyamatban"},   {"projekt_statusz", 6, "Lezárt (megszünt)"},
        {"projekt_statusz", 404, " (megszünt)"}, {"projekt_besorolas", 2, "Kézi (megszünt)"},
        {"projekt_utemezes", 3, "Heti"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + " " + std::to_string(c.key));
        std::string text = "x";
        dm->GetNevViaKod(c.table, c.key, text);
        EXPECT_EQ(text, c.name);
    }
    std::string text;
    dm->GetProjekt_statuszNev(6, text);
    EXPECT_EQ(text, "Lezárt (megszünt)");
    dm->GetProjekt_besorolasNev(1, text);
    EXPECT_EQ(text, "Automatikus");
    dm->GetProjekt_utemezesNev(3, text);
    EXPECT_EQ(text, "Heti");
    EXPECT_THROW(dm->GetNevViaKod("projektek; drop table tetel", 1, text), std::invalid_argument);
}

TEST_F(ProjectsTest, MovingADocumentToAnotherProjectIsLogged) {
    struct Case {
        int document;
        int project;
        bool moved;
    };
    // A document that does not exist is not moved, and no move is logged for it.
    const Case cases[] = {{501, 102, true}, {501, 101, true}, {404, 103, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.document);
        EXPECT_EQ(dm->SetProjectKod(c.document, c.project), c.moved);
        EXPECT_EQ(dm->FindLogItem("PROJEKT BESOROLÁS",
                                  "Módosítás: " + std::to_string(c.document) +
                                      " új projekt szám: " + std::to_string(c.project)),
                  c.moved);
    }
    EXPECT_EQ(Scalar("select projekt from raktar_mozgas_fej where kod = 501"), "101");
}

// ---- partner journal ----

class JournalTest : public DmAreaTest {
  protected:
    void SetUp() override {
        DmAreaTest::SetUp();
        Exec(
            "TRUNCATE esemeny_naplo, esemeny, _cimke_fej, _cimke RESTART IDENTITY;"
            "INSERT INTO esemeny (kod, lang_0000040e) VALUES (1, 'Telefon'), (2, 'Bejárás');");
    }
};

TEST_F(JournalTest, NumbersCountEachPartnersEntries) {
    struct Case {
        int partner;
        int naploszam;
    };
    const Case cases[] = {{7, 1}, {7, 2}, {8, 1}, {7, 3}, {8, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.partner);
        const int kod = dm->AddNew_Esemeny(c.partner, "O'Brien hívta", "Telefon",
                                           db::EncodeDate(2026, 12, 1), "", "");
        TEsemenyInfo info;
        dm->GetEsemenyInfo(kod, info);
        EXPECT_EQ(info.kod, kod);
        EXPECT_EQ(info.partner_kod, c.partner);
        EXPECT_EQ(info.naploszam, c.naploszam);
        EXPECT_EQ(info.esemeny_kod, -10);
        EXPECT_EQ(info.megjegyzes, "O'Brien hívta");
        EXPECT_EQ(info.leiras, "Telefon");
        EXPECT_DOUBLE_EQ(info.datum, db::EncodeDate(2026, 12, 1));
    }
}

TEST_F(JournalTest, AnRtfFileIsStoredOtherKindsStoreOnlyTheKind) {
    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("journal_" + std::to_string(::getpid()) + ".rtf");
    const std::string bytes = std::string("{\\rtf1 \xC5\x91r\x00\xff}", 13);
    std::ofstream(file, std::ios::binary) << bytes;
    struct Case {
        const char* kind;
        std::string path;
        bool stored;
    };
    const Case cases[] = {
        {"RTF", file.string(), true},
        {"PDF", file.string(), false},
        {"RTF", file.string() + ".nincs", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.path);
        const int kod = dm->AddNew_Esemeny(5, "", "", 0, c.path, c.kind);
        const std::string id = std::to_string(kod);
        EXPECT_EQ(Scalar("select kapcsolt_dokumentum1_tipusa from esemeny_naplo where kod = " + id),
                  c.kind);
        EXPECT_EQ(
            Scalar("select kapcsolt_dokumentum1 is not null from esemeny_naplo where kod = " + id),
            c.stored ? "True" : "False");
        if (c.stored) {
            EXPECT_EQ(
                Scalar(
                    "select encode(kapcsolt_dokumentum1, 'hex') from esemeny_naplo where kod = " +
                    id),
                "7b5c7274663120c5917200ff7d");
        }
    }
    std::filesystem::remove(file);
}

TEST_F(JournalTest, TwoClientsAddingForOnePartnerAtOnceGetDistinctNumbers) {
    constexpr int kClients = 4;
    constexpr int kEach = 15;
    std::vector<std::thread> clients;
    std::vector<std::string> errors(kClients);
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([i, &errors] {
            try {
                auto own = ConnectedDm();
                for (int n = 0; n < kEach; ++n)
                    own->AddNew_Esemeny(42, "párhuzamos", std::to_string(i), 0, "", "");
            } catch (const std::exception& e) {
                errors[static_cast<std::size_t>(i)] = e.what();
            }
        });
    }
    for (auto& t : clients)
        t.join();
    for (const auto& e : errors)
        EXPECT_EQ(e, "");
    EXPECT_EQ(Count("select count(*) from esemeny_naplo where partner_kod = 42"), kClients * kEach);
    EXPECT_EQ(Count("select count(distinct naploszam) from esemeny_naplo where partner_kod = 42"),
              kClients * kEach);
    EXPECT_EQ(Count("select max(naploszam) from esemeny_naplo where partner_kod = 42"),
              kClients * kEach);
}

TEST_F(JournalTest, LookupsOfMissingEntriesAndTypes) {
    TEsemenyInfo info;
    info.kod = 5;
    info.megjegyzes = "régi";
    info.leiras = "marad";
    info.naploszam = 9;
    dm->GetEsemenyInfo(404, info);
    EXPECT_EQ(info.kod, 0);
    EXPECT_EQ(info.megjegyzes, "");
    EXPECT_EQ(info.leiras, "marad");
    EXPECT_EQ(info.naploszam, 9);

    struct Case {
        int key;
        const char* name;
    };
    const Case cases[] = {{1, "Telefon"}, {2, "Bejárás"}, {3, ""}, {-10, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        std::string text = "x";
        dm->GetEsemenyNev(c.key, text);
        EXPECT_EQ(text, c.name);
    }
}

TEST_F(JournalTest, DeleteCimkeRemovesTheSetAndItsRows) {
    Exec(
        "INSERT INTO _cimke_fej (kod, nev) VALUES (1, 'a'), (2, 'b');"
        "INSERT INTO _cimke (fej_kod, szoveg) VALUES (1, 'x'), (1, 'y'), (2, 'z');");
    dm->DeleteCimke(1);
    EXPECT_EQ(Scalar("select string_agg(kod::text, ',') from _cimke_fej"), "2");
    EXPECT_EQ(Scalar("select string_agg(szoveg, ',') from _cimke"), "z");
}

}  // namespace
}  // namespace dorvan::test
