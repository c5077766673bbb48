// Client presence against the server: one row per computer, the 15-second window and its
// midnight rule, messages picked up once, messages to every other active computer.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "db/date_time.h"
#include "db/errors.h"
#include "stock_system_fixture.h"

namespace dorvan::test {
namespace {

TServerDateTime At(int y, int mo, int d, int h, int mi, int s) {
    TServerDateTime t;
    t.Date = db::EncodeDate(y, mo, d);
    t.Time = db::EncodeTime(h, mi, s);
    t.DateTime = t.Date + t.Time;
    return t;
}

class PresenceTest : public ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        Exec("DELETE FROM _currentip");
    }
    void TearDown() override {
        Exec("DELETE FROM _currentip");
        ModuleTest::TearDown();
    }

    // A computer's row as another program left it.
    void AddClient(const std::string& ip, const std::string& host, const std::string& name,
                   const std::string& date, const std::string& time) {
        dm->ExecSQL(
            "INSERT INTO _currentip (ip, host, local_ip, lastsign_date, lastsign_time, "
            "logged_username, message) "
            "VALUES (:ip, :host, '10.0.0.9', CAST(:d AS date), CAST(:t AS time), :n, '')",
            {{"ip", ip}, {"host", host}, {"d", date}, {"t", time}, {"n", name}});
    }
    // This computer's row (its identity in the settings record).
    void AddOwn(const std::string& date, const std::string& time) {
        const TMainTable& mt = MainTable();
        dm->ExecSQL(
            "INSERT INTO _currentip (ip, host, local_ip, lastsign_date, lastsign_time, "
            "logged_username, message) VALUES (:ip, :host, :lip, CAST(:d AS date), CAST(:t AS "
            "time), "
            "'Én magam', '')",
            {{"ip", mt.CurrentIP},
             {"host", mt.LocalHostName},
             {"lip", mt.LocalIP},
             {"d", date},
             {"t", time}});
    }
    std::string MessageOf(const std::string& ip) {
        return Scalar("SELECT message FROM _currentip WHERE ip = :ip", {{"ip", ip}});
    }
};

TEST_F(PresenceTest, ActiveWindow) {
    AddOwn("2026-06-01", "11:59:50");
    AddClient("192.0.2.1", "pc1", "Tizenöt", "2026-06-01", "11:59:45");
    AddClient("192.0.2.2", "pc2", "Tizenhat", "2026-06-01", "11:59:44");
    AddClient("192.0.2.3", "pc3", "Tegnap", "2026-05-31", "12:00:00");
    AddClient("192.0.2.4", "pc4", "Éjfél előtt", "2026-06-04", "23:59:55");
    AddClient("192.0.2.5", "pc5", "Éjfél után", "2026-06-05", "00:00:00");

    struct Case {
        const char* what;
        TServerDateTime now;
        bool leaveOut;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"15 seconds old is active, 16 is not",
         At(2026, 6, 1, 12, 0, 0),
         false,
         {"Én magam", "Tizenöt"}},
        {"this computer left out", At(2026, 6, 1, 12, 0, 0), true, {"Tizenöt"}},
        {"a moment later", At(2026, 6, 1, 12, 0, 1), true, {}},
        {"right after midnight", At(2026, 6, 5, 0, 0, 5), false, {"Éjfél után"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(dm->presence_.GetAktivKliens(c.leaveOut, c.now), c.expected);
    }
}

TEST_F(PresenceTest, SignalRegistersOnceAndHandsOverTheMessageOnce) {
    EXPECT_EQ(dm->LastSignTime(), 0);
    Exec("INSERT INTO munkatars (userid, nev) VALUES ('zoli', 'O''Brien Zoltán')");
    MainTable().UserID = "zoli";
    std::string message = "stale";
    dm->SendIPSign(true, message);
    EXPECT_EQ(message, "");
    EXPECT_GT(dm->LastSignTime(), 0);
    EXPECT_EQ(MainTable().LastSignTime, dm->LastSignTime());

    // A second program on the same computer shares the row.
    auto second = ConnectedModule();
    second->SendIPSign(false, message);
    EXPECT_EQ(Count("SELECT count(*) FROM _currentip"), 1);
    EXPECT_EQ(Scalar("SELECT logged_username FROM _currentip"), "O'Brien Zoltán");
    EXPECT_EQ(Count("SELECT count(*) FROM _currentip WHERE connect_date = lastsign_date"), 1);

    const std::string host = Scalar("SELECT host FROM _currentip");
    const std::string localIp = Scalar("SELECT local_ip FROM _currentip");
    EXPECT_TRUE(dm->RingingUser("localhost", host, localIp, "Hívja vissza O'Neillt!"));
    EXPECT_TRUE(dm->RingingUser("192.0.2.99", "nobody", "10.0.0.1", "elvész"));
    EXPECT_EQ(Count("SELECT count(*) FROM _currentip"), 1) << "no row for an unknown computer";

    // Both programs signal at the same moment: one of them gets the message.
    std::string first;
    std::string other;
    std::thread a([&] { dm->SendIPSign(false, first); });
    std::thread b([&] { second->SendIPSign(false, other); });
    a.join();
    b.join();
    EXPECT_EQ(first + other, "Hívja vissza O'Neillt!");
    dm->SendIPSign(false, message);
    EXPECT_EQ(message, "");
}

TEST_F(PresenceTest, MessageArrivesWhileTheComputerSignals) {
    AddClient("192.0.2.1", "pc1", "Címzett", "2026-06-01", "11:59:50");
    // The addressee's signal holds its row for a while and changes it.
    db::Connection holder("holder");
    holder.SetParams(DatabaseParams());
    holder.Connect();
    holder.Execute("BEGIN");
    holder.Execute("UPDATE _currentip SET lastsign_time = '12:00:00' WHERE ip = '192.0.2.1'");
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        holder.Execute("COMMIT");
    });
    bool sent = false;
    EXPECT_NO_THROW(sent = dm->RingingUser("192.0.2.1", "pc1", "10.0.0.9", "Hívjon vissza!"));
    release.join();
    EXPECT_TRUE(sent);
    EXPECT_EQ(MessageOf("192.0.2.1"), "Hívjon vissza!");

    // Messages and signals race: every message is either still waiting or was picked up.
    auto receiver = ConnectedModule();
    Exec("DELETE FROM _currentip");
    std::string ignored;
    receiver->SendIPSign(true, ignored);
    const std::string host = Scalar("SELECT host FROM _currentip");
    const std::string localIp = Scalar("SELECT local_ip FROM _currentip");
    constexpr int kMessages = 40;
    std::vector<std::string> received;
    std::atomic<bool> done{false};
    std::thread signals([&] {
        while (!done) {
            std::string message;
            receiver->SendIPSign(false, message);
            if (!message.empty())
                received.push_back(message);
        }
        std::string last;
        receiver->SendIPSign(false, last);
        if (!last.empty())
            received.push_back(last);
    });
    int failures = 0;
    for (int i = 0; i < kMessages; ++i) {
        const std::string text = "üzenet " + std::to_string(i);
        try {
            dm->RingingUser("localhost", host, localIp, text);
        } catch (const db::DbError&) {
            ++failures;
        }
        // The next message only once this one was picked up (a newer one replaces it).
        for (int wait = 0; wait < 400 && MessageOf("localhost") == text; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    done = true;
    signals.join();
    EXPECT_EQ(failures, 0);
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kMessages));
    for (int i = 0; i < kMessages; ++i)
        EXPECT_EQ(received[static_cast<std::size_t>(i)], "üzenet " + std::to_string(i));
}

TEST_F(PresenceTest, RingingAllUserSkipsTheSender) {
    AddOwn("2026-06-01", "11:59:58");
    AddClient("192.0.2.1", "pc1", "Aktív", "2026-06-01", "11:59:50");
    AddClient("192.0.2.2", "pc2", "Régi", "2026-06-01", "11:00:00");
    EXPECT_TRUE(
        dm->presence_.RingingAllUser("Leállás 5 perc múlva, O'Neill", At(2026, 6, 1, 12, 0, 0)));
    EXPECT_EQ(MessageOf("192.0.2.1"), "Leállás 5 perc múlva, O'Neill");
    EXPECT_EQ(MessageOf("192.0.2.2"), "");
    EXPECT_EQ(MessageOf(MainTable().CurrentIP), "");
}

}  // namespace
}  // namespace dorvan::test
