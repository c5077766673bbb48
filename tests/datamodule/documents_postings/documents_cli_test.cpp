// dorvan-cli's document subcommands as processes against the demo database: numbers, cash
// postings and their reversal, invoicing a delivery-note line up to its quantity, and the
// reversal of the demo's invoice, of a delivery note invoiced in full (silent) and of a goods
// receipt whose goods are gone (refused with the recording error).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/print/print_cli_fixture.h"
#include "support/db_params.h"

namespace dorvan::test {
namespace {

class DocumentsCliTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }

    ProcessResult Cli(const std::vector<std::string>& args) const {
        return RunProcess(DORVAN_CLI, args, work_.Path());
    }
    std::string Scalar(const std::string& sql) const {
        db::Connection c("test");
        c.SetParams(DatabaseParams());
        c.Connect();
        db::Result r = c.Execute(sql);
        return r.Rows() > 0 ? r.Text(0, 0) : std::string();
    }

    static std::unique_ptr<PrintInstallation> installation_;
    ScratchDir work_;
};

std::unique_ptr<PrintInstallation> DocumentsCliTest::installation_;

TEST_F(DocumentsCliTest, Subcommands) {
    ASSERT_TRUE(installation_->EchoRunning());
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string errContains;  // "" : stderr must be empty
    };
    const Case kCases[] = {
        {{"number", "5", "--date", "2031-01-01"}, 0, "SZ2031/0000001\n", ""},
        {{"number", "5", "--date=2031-06-30", "--serial-first", "--no-fill", "--count", "2"},
         0,
         "SZ2/2031\nSZ3/2031\n",
         ""},
        {{"number", "x"}, 2, "", "KIND"},
        {{"number", "5", "--count", "0"}, 2, "", "--count"},
        {{"cash-post", "5", "2026-03-01", "0", "1", "1500.5", "5", "--note", "O'Neill"},
         0,
         "2026/0000001\n",
         ""},
        {{"cash-post", "5", "2026-03-01", "0", "1", "20", "5", "--number", "2026/0000001"},
         0,
         "2026/0000001\n",
         ""},
        {{"cash-post", "5", "2026-03-01", "0", "1", "20", "0"}, 0, "\n", ""},
        {{"cash-reverse", "2026/0000001", "5", "2026-03-02"}, 0, "2026/0000002\n", ""},
        {{"cash-reverse", "2026/0000001", "5", "2026-03-02"}, 3, "", "nothing to reverse"},
        // Delivery note 4310: 15 of line 431001 and 10 of line 431002 are open.
        {{"invoice-delivery", "431002", "4"}, 0, "", ""},
        {{"invoice-delivery", "431002", "7"},
         3,
         "",
         "Szállítólevélen feltüntetett készlet túllépése!"},
        {{"invoice-delivery", "431002", "6", "--outside"}, 0, "", ""},
        {{"invoice-delivery", "431001", "15"}, 0, "", ""},
        {{"reverse", "4310"}, 3, "", ""},  // invoiced in full: silent
        {{"reverse", "4301"}, 3, "", "Rögzítési hiba!"},
        {{"reverse", "999999"}, 3, "", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        const ProcessResult r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        if (c.status != 2) {
            EXPECT_EQ(r.out, c.out);
        }
        if (c.errContains.empty()) {
            EXPECT_EQ(r.err, "");
        } else {
            EXPECT_NE(r.err.find(c.errContains), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(Scalar("select mennyiseg_szamlazva || '/' || "
                     "mennyiseg_szamlazva_bol_rendszeren_kivul from raktar_mozgas where kod = "
                     "431002"),
              "10/6");
    EXPECT_EQ(Scalar("select string_agg(osszeg::text, ',' order by kod) from penzeszkoz_iktato "
                     "where penztar_bizonylat_irany = 5"),
              "1500.5,20,-1500.5,-20");

    // The demo's invoice, once.
    const ProcessResult first = Cli({"reverse", "4317", "--keep-time"});
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, Scalar("select kod from raktar_mozgas_fej where "
                                "sztornozott_bizonylat_kod = 4317") +
                             "\n");
    EXPECT_EQ(Scalar("select datum || ' ' || ido from raktar_mozgas_fej where "
                     "sztornozott_bizonylat_kod = 4317"),
              "2026-12-03 09:41:01");
    const ProcessResult again = Cli({"reverse", "4317", "--no-transaction"});
    EXPECT_EQ(again.status, 3);
    EXPECT_EQ(again.out, "");
}

}  // namespace
}  // namespace dorvan::test
