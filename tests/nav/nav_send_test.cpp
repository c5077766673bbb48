// Reporting to the tax authority with dorvan-cli as processes against the demo database and
// the loopback stand-in of the authority's interface (scripts/nav_api_stand_in.py, which
// checks each request as the authority does): every demo invoice and the reversal pair to
// DONE with their operations and indexes; a wrong signing key; an expired and a reused token;
// an ABORTED answer with its ERROR message; a lost answer settled without a second
// submission, and one never received sent again once the authority's time has passed; a
// reversal before its original is DONE; eight workstations sending one invoice; a technical
// annulment; credentials other users can read. Each ends with one line and a register row
// that tells what happened; no invoice reaches the stand-in twice; no secret is printed or
// stored.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/print/print_cli_fixture.h"
#include "config/http_client.h"
#include "db/connection.h"
#include "support/db_params.h"
#include "support/loopback_http_server.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

// The technical user the stand-in knows; the tax number is the demo company's.
constexpr const char* kLogin = "dorvanteszt01";
constexpr const char* kPassword = "Jelszó'&<titok>";
constexpr const char* kSigningKey = "4f-9b2c-1a7e55d0c3e2LQK8ZP3VW6RT";
constexpr const char* kExchangeKey = "9c4e2a7b1f8d3e60";
constexpr const char* kTaxNumber = "12345678";

// The loopback stand-in of the authority's interface.
class StandIn : public LoopbackHttpServer {
  public:
    StandIn()
        : LoopbackHttpServer(DORVAN_NAV_STAND_IN,
                             {"--schema-dir", DORVAN_NAV_SCHEMA_DIR, "--login", kLogin,
                              "--password", kPassword, "--signing-key", kSigningKey,
                              "--exchange-key", kExchangeKey, "--tax-number", kTaxNumber}) {}

    std::string ApiUrl() const { return Url() + "/invoiceService/v3"; }

    std::string Get(const std::string& path) const {
        HttpClient http;
        const HttpResponse r = http.Get(Url() + path);
        EXPECT_EQ(r.status, 200) << path << ": " << r.body;
        return r.body;
    }
    void Control(const std::string& query) const { Get("/control?" + query); }
    // One line per received item: operation, number, modification index, transaction id,
    // index, final state.
    std::vector<std::vector<std::string>> Log() const {
        std::vector<std::vector<std::string>> items;
        std::string line;
        for (const char c : Get("/control/log") + "\n") {
            if (c != '\n') {
                line += c;
                continue;
            }
            if (!line.empty()) {
                std::vector<std::string> fields;
                std::string field;
                for (const char f : line + "\t") {
                    if (f == '\t') {
                        fields.push_back(field);
                        field.clear();
                    } else {
                        field += f;
                    }
                }
                items.push_back(fields);
            }
            line.clear();
        }
        return items;
    }
    // How many times each invoice number reached the stand-in.
    std::map<std::string, int> Received() const {
        std::map<std::string, int> count;
        for (const auto& item : Log())
            ++count[item.at(1)];
        return count;
    }
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    for (const char c : line + "\t") {
        if (c == '\t') {
            fields.push_back(field);
            field.clear();
        } else {
            field += c;
        }
    }
    return fields;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class NavSendTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        installation_ = std::make_unique<PrintInstallation>();
        standIn_ = std::make_unique<StandIn>();
    }
    static void TearDownTestSuite() {
        standIn_.reset();
        installation_.reset();
    }

    void SetUp() override {
        ASSERT_TRUE(installation_->EchoRunning());
        ASSERT_TRUE(standIn_->Running());
        standIn_->Control("reset=1");
        Sql("delete from nav_bekuldes");
        WriteCredentials(kSigningKey);
    }

    void TearDown() override {
        // Nothing secret was stored.
        const std::string stored =
            Sql("select coalesce(string_agg(concat_ws('|', bizonylatszam, keres_azonosito, "
                "tranzakcio_azonosito, uzenetek, munkaallomas), E'\\n'), '') from nav_bekuldes");
        for (const char* secret : {kPassword, kSigningKey, kExchangeKey})
            EXPECT_FALSE(Contains(stored, secret)) << stored;
    }

    void WriteCredentials(const std::string& signingKey, mode_t mode = 0600,
                          const std::string& taxNumber = kTaxNumber) const {
        std::ofstream file(credentials_, std::ios::trunc);
        file << "[NAV]\nLogin=" << kLogin << "\nPassword=" << kPassword
             << "\nSigningKey=" << signingKey << "\nExchangeKey=" << kExchangeKey
             << "\nTaxNumber=" << taxNumber
             << "\nSoftwareId=HU12345678-DORVAN1\nSoftwareDevName=Tiszavirág Fejlesztő Kft."
                "\nSoftwareDevContact=fejleszto@example.hu\nSoftwareDevCountryCode=HU\n";
        file.close();
        ::chmod(credentials_.c_str(), mode);
    }

    // A dorvan-cli run; nothing it prints holds a secret.
    ProcessResult Cli(const std::vector<std::string>& args) const {
        const ProcessResult r = RunProcess(DORVAN_CLI, args, work_.Path());
        for (const char* secret : {kPassword, kSigningKey, kExchangeKey}) {
            EXPECT_FALSE(Contains(r.out, secret)) << r.out;
            EXPECT_FALSE(Contains(r.err, secret)) << r.err;
        }
        return r;
    }

    // `n` runs at once, started together.
    std::vector<ProcessResult> CliTogether(const std::vector<std::string>& args, int n) const {
        int gate[2];
        EXPECT_EQ(::pipe(gate), 0);
        std::vector<pid_t> pids;
        for (int i = 0; i < n; ++i) {
            const fs::path out = work_.Path() / (".out" + std::to_string(i));
            const fs::path err = work_.Path() / (".err" + std::to_string(i));
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::close(gate[1]);
                char c = 0;
                while (::read(gate[0], &c, 1) > 0) {
                }
                if (::chdir(work_.Path().c_str()) != 0 || !std::freopen(out.c_str(), "w", stdout) ||
                    !std::freopen(err.c_str(), "w", stderr))
                    ::_exit(127);
                std::vector<char*> argv{const_cast<char*>(DORVAN_CLI)};
                for (const std::string& a : args)
                    argv.push_back(const_cast<char*>(a.c_str()));
                argv.push_back(nullptr);
                ::execv(DORVAN_CLI, argv.data());
                ::_exit(127);
            }
            pids.push_back(pid);
        }
        ::close(gate[0]);
        ::close(gate[1]);  // all go
        std::vector<ProcessResult> results;
        for (int i = 0; i < n; ++i) {
            ProcessResult r;
            int status = 0;
            if (::waitpid(pids[i], &status, 0) == pids[i])
                r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            r.out = ReadText(work_.Path() / (".out" + std::to_string(i)));
            r.err = ReadText(work_.Path() / (".err" + std::to_string(i)));
            results.push_back(r);
        }
        return results;
    }

    static std::string Sql(const std::string& sql) {
        db::Connection c("test");
        c.SetParams(DatabaseParams());
        c.Connect();
        db::Result r = c.Execute(sql);
        return r && r.Rows() > 0 ? r.Text(0, 0) : std::string();
    }

    // The register of a document, one row per line:
    // operation|modification index|original|index|state, oldest first.
    static std::vector<std::string> Register(int key) {
        return Lines(Sql(
            "select coalesce(string_agg(concat_ws('|', muvelet, coalesce(modositas_index::text, "
            "'-'), coalesce(eredeti_szamlaszam, '-'), keres_index, allapot), E'\\n' order by "
            "kod), '') from nav_bekuldes where fej_kod = " +
            std::to_string(key)));
    }
    static std::string Column(int key, const std::string& column) {
        return Sql("select coalesce(" + column + "::text, '') from nav_bekuldes where fej_kod = " +
                   std::to_string(key) + " order by kod desc limit 1");
    }

    // nav-status KEY --wait until final; its state line's fields.
    std::vector<std::string> WaitDone(int key) const {
        const ProcessResult r = Cli({"nav-status", std::to_string(key), "--wait", "20"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const auto lines = Lines(r.out);
        EXPECT_FALSE(lines.empty());
        return lines.empty() ? std::vector<std::string>{} : Fields(lines.front());
    }

    inline static std::unique_ptr<PrintInstallation> installation_;
    inline static std::unique_ptr<StandIn> standIn_;
    ScratchDir work_;
    fs::path credentials_ = work_.Path() / "nav.ini";
    EnvVar credentialsEnv_{"DORVAN_NAV_CREDENTIALS", credentials_.string()};
    EnvVar urlEnv_{"DORVAN_NAV_API_URL", standIn_->ApiUrl()};
};

// The demo's invoices, their numbers and operations.
struct DemoInvoice {
    int key;
    const char* number;
};
constexpr DemoInvoice kDemoInvoices[] = {
    {4311, "SZ2026/0000001"}, {4317, "SZ2026/0000002"}, {4318, "SZ2026/0000003"},
    {4320, "SZ2026/0000004"}, {4321, "SZ2026/0000005"}, {4322, "SZ2026/0000006"},
};

TEST_F(NavSendTest, EveryDemoInvoiceAndTheReversalToDone) {
    // Two invoices in a request; the reversal 4322 of 4321 waits for its original.
    standIn_->Control("processing_seconds=600");
    const ProcessResult sent =
        Cli({"nav-send", "4311", "4317", "4318", "4320", "4321", "4322", "--batch", "2"});
    EXPECT_EQ(sent.status, 3) << sent.err;
    const auto lines = Lines(sent.out);
    ASSERT_EQ(lines.size(), 5u) << sent.out;
    std::vector<std::string> transactions;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        const auto f = Fields(lines[i]);
        ASSERT_EQ(f.size(), 3u);
        EXPECT_EQ(f[0], std::to_string(kDemoInvoices[i].key));
        EXPECT_EQ(f[2], std::to_string(i % 2 + 1));
        if (i % 2 == 0)
            transactions.push_back(f[1]);
        else
            EXPECT_EQ(f[1], transactions.back());
    }
    EXPECT_EQ(std::set<std::string>(transactions.begin(), transactions.end()).size(), 3u);
    ASSERT_EQ(sent.ErrLines().size(), 1u) << sent.err;
    EXPECT_TRUE(Contains(sent.err, "4322: SZ2026/0000006 (STORNO)")) << sent.err;
    EXPECT_TRUE(Contains(sent.err, "SZ2026/0000005) még nincs befogadva (SENDING)")) << sent.err;
    EXPECT_TRUE(Register(4322).empty());

    // Processed: the reversal goes now, with its modification index.
    standIn_->Control("processing_seconds=0");
    const ProcessResult reversal = Cli({"nav-send", "4322"});
    EXPECT_EQ(reversal.status, 0) << reversal.err;
    EXPECT_EQ(reversal.err, "");
    ASSERT_EQ(Lines(reversal.out).size(), 1u);
    EXPECT_EQ(Fields(reversal.out.substr(0, reversal.out.size() - 1)).at(2), "1");

    for (const DemoInvoice& d : kDemoInvoices) {
        SCOPED_TRACE(d.key);
        const auto state = WaitDone(d.key);
        ASSERT_GE(state.size(), 4u);
        EXPECT_EQ(state[0], std::to_string(d.key));
        EXPECT_EQ(state[3], "DONE");
    }
    const std::map<int, std::vector<std::string>> expected = {
        {4311, {"CREATE|-|-|1|DONE"}}, {4317, {"CREATE|-|-|2|DONE"}},
        {4318, {"CREATE|-|-|1|DONE"}}, {4320, {"CREATE|-|-|2|DONE"}},
        {4321, {"CREATE|-|-|1|DONE"}}, {4322, {"STORNO|1|SZ2026/0000005|1|DONE"}},
    };
    for (const auto& [key, rows] : expected) {
        SCOPED_TRACE(key);
        EXPECT_EQ(Register(key), rows);
    }
    for (const DemoInvoice& d : kDemoInvoices)
        EXPECT_EQ(Column(d.key, "bizonylatszam"), d.number);
    // The authority received each once, with the right operation, and took every one.
    const auto log = standIn_->Log();
    ASSERT_EQ(log.size(), 6u);
    for (std::size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(log[i][1]);
        EXPECT_EQ(log[i][1], kDemoInvoices[i].number);
        EXPECT_EQ(log[i][0], i == 5 ? "STORNO" : "CREATE");
        EXPECT_EQ(log[i][2], i == 5 ? "1" : "");
        EXPECT_EQ(log[i][5], "DONE");
    }

    // Sent again: refused, nothing leaves.
    const ProcessResult again = Cli({"nav-send", "4317", "4322"});
    EXPECT_EQ(again.status, 3);
    EXPECT_EQ(again.out, "");
    ASSERT_EQ(again.ErrLines().size(), 2u) << again.err;
    EXPECT_TRUE(Contains(again.ErrLines()[0], "4317: SZ2026/0000002 (CREATE): ")) << again.err;
    EXPECT_TRUE(Contains(again.ErrLines()[0], "DONE")) << again.err;
    EXPECT_EQ(standIn_->Log().size(), 6u);
}

TEST_F(NavSendTest, ReversalBeforeItsOriginalIsDone) {
    // Never sent: refused.
    ProcessResult r = Cli({"nav-send", "4322"});
    EXPECT_EQ(r.status, 3);
    ASSERT_EQ(r.ErrLines().size(), 1u) << r.err;
    EXPECT_TRUE(Contains(r.err, "SZ2026/0000005) még nincs beküldve")) << r.err;
    // Sent, still processing: refused; its register row is left as it is.
    standIn_->Control("processing_seconds=600");
    EXPECT_EQ(Cli({"nav-send", "4321"}).status, 0);
    r = Cli({"nav-send", "4322"});
    EXPECT_EQ(r.status, 3);
    ASSERT_EQ(r.ErrLines().size(), 1u) << r.err;
    EXPECT_TRUE(Contains(r.err, "még nincs befogadva (PROCESSING)")) << r.err;
    EXPECT_TRUE(Register(4322).empty());
    EXPECT_EQ(Register(4321), std::vector<std::string>{"CREATE|-|-|1|PROCESSING"});
    EXPECT_EQ(standIn_->Received(), (std::map<std::string, int>{{"SZ2026/0000005", 1}}));
}

TEST_F(NavSendTest, WrongSigningKey) {
    WriteCredentials("4f-9b2c-1a7e55d0c3e2LQK8ZP3VW6RX");
    const ProcessResult r = Cli({"nav-send", "4317"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(
        r.err,
        "4317: SZ2026/0000002: ERROR INVALID_REQUEST_SIGNATURE: Invalid request signature!\n");
    EXPECT_EQ(Register(4317), std::vector<std::string>{"CREATE|-|-|1|FAILED"});
    EXPECT_EQ(Column(4317, "uzenetek"),
              "ERROR INVALID_REQUEST_SIGNATURE: Invalid request signature!");
    EXPECT_EQ(Column(4317, "tranzakcio_azonosito"), "");
    EXPECT_TRUE(standIn_->Log().empty());

    // With the right key it goes (a refusal as a whole does not stand in the way).
    WriteCredentials(kSigningKey);
    const ProcessResult ok = Cli({"nav-send", "4317"});
    EXPECT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(Register(4317),
              (std::vector<std::string>{"CREATE|-|-|1|FAILED", "CREATE|-|-|1|RECEIVED"}));
}

TEST_F(NavSendTest, ExpiredOrReusedToken) {
    struct Case {
        const char* name;
        const char* mode;
        int key;
    };
    // "stale": the token of the submission before is handed out again.
    const Case cases[] = {{"expired", "expired", 4317}, {"used before", "stale", 4318}};
    EXPECT_EQ(Cli({"nav-send", "4311"}).status, 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        standIn_->Control(std::string("token_mode=") + c.mode);
        const ProcessResult r = Cli({"nav-send", std::to_string(c.key)});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        ASSERT_EQ(r.ErrLines().size(), 1u) << r.err;
        EXPECT_TRUE(Contains(r.err, "ERROR INVALID_EXCHANGE_TOKEN: Invalid exchange token!"))
            << r.err;
        EXPECT_EQ(Register(c.key), std::vector<std::string>{"CREATE|-|-|1|FAILED"});
        EXPECT_EQ(Column(c.key, "uzenetek"),
                  "ERROR INVALID_EXCHANGE_TOKEN: Invalid exchange token!");
    }
    // Issued: one for each of the three submissions; taken once; refused twice.
    EXPECT_EQ(standIn_->Get("/control/tokens"), "2\t1\t2\n");
    EXPECT_EQ(standIn_->Received(), (std::map<std::string, int>{{"SZ2026/0000001", 1}}));
}

TEST_F(NavSendTest, AbortedWithErrors) {
    // The number was reported before, by another program.
    standIn_->Control("preload=SZ2026/0000002");
    const ProcessResult sent = Cli({"nav-send", "4317"});
    EXPECT_EQ(sent.status, 0) << sent.err;
    const std::string transaction = Fields(Lines(sent.out).at(0)).at(1);

    const ProcessResult status = Cli({"nav-status", "4317", "--wait", "20"});
    EXPECT_EQ(status.status, 1);
    EXPECT_EQ(Lines(status.out),
              (std::vector<std::string>{
                  "4317\t" + transaction + "\t1\tABORTED",
                  "4317\t" + transaction +
                      "\t1\tERROR\tINVOICE_NUMBER_NOT_UNIQUE\tThe specified invoice number has "
                      "already been used previously.\tinvoiceNumber\tSZ2026/0000002\t"}));
    EXPECT_EQ(status.err,
              "4317: ABORTED: ERROR INVOICE_NUMBER_NOT_UNIQUE: The specified invoice number has "
              "already been used previously.\n");
    EXPECT_EQ(Register(4317), std::vector<std::string>{"CREATE|-|-|1|ABORTED"});
    EXPECT_TRUE(Contains(Column(4317, "uzenetek"), "ERROR\tINVOICE_NUMBER_NOT_UNIQUE\t"));
    // By the transaction id the same.
    const ProcessResult byId = Cli({"nav-status", transaction});
    EXPECT_EQ(byId.status, 1);
    EXPECT_EQ(byId.out, status.out);
}

TEST_F(NavSendTest, LostAnswers) {
    // Received, then the answer lost: found in the authority's list, not sent again.
    standIn_->Control("drop=after_receipt");
    const ProcessResult lost = Cli({"nav-send", "4317"});
    EXPECT_EQ(lost.status, 0) << lost.err;
    EXPECT_EQ(lost.err, "");
    auto log = standIn_->Log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(lost.out, "4317\t" + log[0][3] + "\t1\n");
    EXPECT_EQ(Register(4317), std::vector<std::string>{"CREATE|-|-|1|DONE"});
    EXPECT_EQ(Column(4317, "tranzakcio_azonosito"), log[0][3]);
    EXPECT_EQ(Cli({"nav-send", "4317"}).status, 3);

    // Never received: "sent, answer unknown" until the authority's time has passed; then
    // taken as lost and sent again.
    standIn_->Control("drop=before_receipt");
    const ProcessResult unknown = Cli({"nav-send", "4318"});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, "");
    ASSERT_EQ(unknown.ErrLines().size(), 1u) << unknown.err;
    EXPECT_TRUE(Contains(unknown.err, "4318: SZ2026/0000003: a válasz elveszett")) << unknown.err;
    EXPECT_EQ(Register(4318), std::vector<std::string>{"CREATE|-|-|1|SENDING"});
    EXPECT_TRUE(Contains(Column(4318, "uzenetek"), "a válasz elveszett"))
        << Column(4318, "uzenetek");

    const ProcessResult early = Cli({"nav-send", "4318"});
    EXPECT_EQ(early.status, 3);
    ASSERT_EQ(early.ErrLines().size(), 1u) << early.err;
    EXPECT_TRUE(Contains(early.err, "a válasz ismeretlen")) << early.err;
    const ProcessResult state = Cli({"nav-status", "4318"});
    EXPECT_EQ(state.status, 0) << state.err;
    EXPECT_EQ(state.out, "4318\t\t1\tSENDING\n");

    Sql("update nav_bekuldes set elkuldve = elkuldve - interval '6 minutes' where fej_kod = 4318");
    const ProcessResult resent = Cli({"nav-send", "4318"});
    EXPECT_EQ(resent.status, 0) << resent.err;
    EXPECT_EQ(Register(4318),
              (std::vector<std::string>{"CREATE|-|-|1|LOST", "CREATE|-|-|1|RECEIVED"}));
    EXPECT_EQ(standIn_->Received(),
              (std::map<std::string, int>{{"SZ2026/0000002", 1}, {"SZ2026/0000003", 1}}));
}

TEST_F(NavSendTest, EightWorkstationsSendOneInvoice) {
    const auto runs = CliTogether({"nav-send", "4317"}, 8);
    int sent = 0;
    int refused = 0;
    for (const ProcessResult& r : runs) {
        SCOPED_TRACE(r.out + r.err);
        if (r.status == 0) {
            ++sent;
            EXPECT_EQ(Lines(r.out).size(), 1u);
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_EQ(r.status, 3);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(r.ErrLines().size(), 1u);
            EXPECT_TRUE(Contains(r.err, "4317: SZ2026/0000002 (CREATE): "));
            ++refused;
        }
    }
    EXPECT_EQ(sent, 1);
    EXPECT_EQ(refused, 7);
    EXPECT_EQ(Register(4317).size(), 1u);
    EXPECT_EQ(standIn_->Received(), (std::map<std::string, int>{{"SZ2026/0000002", 1}}));
}

TEST_F(NavSendTest, TechnicalAnnulment) {
    // Nothing to annul yet.
    ProcessResult r = Cli({"nav-annul", "4318", "ERRATIC_DATA", "Hibás árfolyam"});
    EXPECT_EQ(r.status, 3);
    ASSERT_EQ(r.ErrLines().size(), 1u) << r.err;

    ASSERT_EQ(Cli({"nav-send", "4318"}).status, 0);
    EXPECT_EQ(WaitDone(4318).at(3), "DONE");
    r = Cli({"nav-annul", "4318", "ERRATIC_DATA", "Hibás árfolyam, O'Brien & <társa>"});
    EXPECT_EQ(r.status, 0) << r.err;
    const auto annulment = Fields(Lines(r.out).at(0));
    EXPECT_EQ(annulment.at(0), "4318");
    EXPECT_EQ(annulment.at(2), "1");
    const auto state = WaitDone(4318);
    EXPECT_EQ(state, (std::vector<std::string>{"4318", annulment.at(1), "1", "DONE",
                                               "VERIFICATION_PENDING"}));
    // Waiting for approval: not again, and the report stays DONE.
    r = Cli({"nav-annul", "4318", "ERRATIC_DATA", "Még egyszer"});
    EXPECT_EQ(r.status, 3);
    EXPECT_TRUE(Contains(r.err, "VERIFICATION_PENDING")) << r.err;
    EXPECT_EQ(Cli({"nav-send", "4318"}).status, 3);

    // Approved on the authority's web interface: the report is annulled, the invoice can go
    // again.
    standIn_->Control("approve=SZ2026/0000003");
    EXPECT_EQ(WaitDone(4318).at(4), "VERIFICATION_DONE");
    EXPECT_EQ(Register(4318),
              (std::vector<std::string>{"CREATE|-|-|1|ANNULLED", "ANNUL|-|-|1|DONE"}));
    r = Cli({"nav-send", "4318"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(WaitDone(4318).at(3), "DONE");
    const auto log = standIn_->Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1][0], "ANNUL");
    EXPECT_EQ(log[1][1], "SZ2026/0000003");
}

TEST_F(NavSendTest, CredentialsReadableByOthersAreRefused) {
    for (const mode_t mode : {0640, 0644, 0604}) {
        SCOPED_TRACE(mode);
        WriteCredentials(kSigningKey, mode);
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"nav-send", "4317"},
              std::vector<std::string>{"nav-status", "4317"},
              std::vector<std::string>{"nav-annul", "4317", "ERRATIC_DATA", "x"}}) {
            const ProcessResult r = Cli(args);
            EXPECT_EQ(r.status, 1);
            EXPECT_EQ(r.out, "");
            ASSERT_EQ(r.ErrLines().size(), 1u) << r.err;
            EXPECT_EQ(r.err.rfind(credentials_.string() + ": ", 0), 0u) << r.err;
            EXPECT_TRUE(Contains(r.err, "más felhasználók is olvashatják")) << r.err;
        }
    }
    EXPECT_TRUE(Register(4317).empty());
    EXPECT_EQ(standIn_->Get("/control/tokens"), "0\t0\t0\n");
}

// The interface out of reach, an address that is not the interface, a technical user of another
// taxpayer: one line each; nothing was received, the register says so.
TEST_F(NavSendTest, NoInterfaceOrNotOurs) {
    int closedPort = 0;
    {
        const LoopbackHttpServer probe(DORVAN_HTTP_TEST_SERVER);
        closedPort = probe.Port();
    }
    struct Case {
        const char* name;
        std::string url;
        std::string taxNumber;
        int status;
        std::string err;        // part of the one line
        std::string register_;  // the row; "" none
    };
    const Case cases[] = {
        {"nobody listening",
         "http://127.0.0.1:" + std::to_string(closedPort) + "/invoiceService/v3", kTaxNumber, 1,
         "4317: SZ2026/0000002: Az adóhatóság felülete nem érhető el (tokenExchange): ",
         "CREATE|-|-|1|FAILED"},
        {"not the interface", standIn_->Url() + "/invoiceService/v2", kTaxNumber, 1,
         "4317: SZ2026/0000002: Az adóhatóság felülete nem értelmezhető választ adott (HTTP 404)",
         "CREATE|-|-|1|FAILED"},
        {"another taxpayer's user", standIn_->ApiUrl(), "87654321", 3,
         "4317: SZ2026/0000002: a kiállító adószáma (12345678) nem a technikai felhasználó "
         "adózójáé (87654321): SUPPLIER_TAX_NUMBER_MISMATCH",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sql("delete from nav_bekuldes");
        WriteCredentials(kSigningKey, 0600, c.taxNumber);
        const EnvVar url("DORVAN_NAV_API_URL", c.url);
        const ProcessResult r = Cli({"nav-send", "4317"});
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, "");
        ASSERT_EQ(r.ErrLines().size(), 1u) << r.err;
        EXPECT_TRUE(Contains(r.err, c.err)) << r.err;
        EXPECT_EQ(Register(4317), c.register_.empty() ? std::vector<std::string>{}
                                                      : std::vector<std::string>{c.register_});
    }
    EXPECT_TRUE(standIn_->Log().empty());
}

TEST_F(NavSendTest, CommandLines) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{"nav-send"}, 2},
        {{"nav-send", "x"}, 2},
        {{"nav-send", "0"}, 2},
        {{"nav-send", "4317", "--appearance", "EDI"}, 2},
        {{"nav-send", "4317", "--batch", "101"}, 2},
        {{"nav-send", "4317", "--batch", "0"}, 2},
        {{"nav-status", "4317", "--wait", "-1"}, 2},
        {{"nav-status", "no such id!"}, 2},
        {{"nav-annul", "4317", "WRONG_CODE", "x"}, 2},
        {{"nav-annul", "4317", "ERRATIC_DATA", "   "}, 2},
        {{"nav-status", "4317"}, 1},      // never sent
        {{"nav-status", "UNKNOWN1"}, 1},  // the authority does not know it
        {{"nav-send", "999999"}, 3},      // no such document
    };
    for (const Case& c : cases) {
        std::string name;
        for (const std::string& a : c.args)
            name += a + " ";
        SCOPED_TRACE(name);
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, "");
        if (c.status != 2) {
            EXPECT_EQ(r.ErrLines().size(), 1u) << r.err;
        }
    }
    EXPECT_TRUE(standIn_->Log().empty());
}

}  // namespace
}  // namespace dorvan::test
