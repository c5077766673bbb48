// The programs as the Debian package installs them (extracted by package_test.sh): without a
// build tree and without DORVAN_EXE_DIR, dorvan-print reads Dorvan.ini from the system
// configuration folder, applies the package's update scripts from <prefix>/share/dorvan/ and
// keeps them there, and prints invoice 4317 byte for byte as the golden file, from a folder
// of its own.

#include <gtest/gtest.h>

#include <libpq-fe.h>

#include <filesystem>
#include <string>

#include "app/print/print_cli_fixture.h"
#include "config/folders.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

// The status the script log of the test database holds for a script ("" when none).
std::string ScriptStatus(const std::string& script) {
    PGconn* conn = PQconnectdb(ConnInfo().c_str());
    std::string value;
    if (PQstatus(conn) == CONNECTION_OK) {
        const char* params[] = {script.c_str()};
        PGresult* r = PQexecParams(conn, "SELECT statusz FROM _scriptlog WHERE script = $1", 1,
                                   nullptr, params, nullptr, nullptr, 0);
        if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1) {
            value = PQgetvalue(r, 0, 0);
        }
        PQclear(r);
    }
    PQfinish(conn);
    return value;
}

class InstalledPrintTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { installation_ = std::make_unique<PrintInstallation>(); }
    static void TearDownTestSuite() { installation_.reset(); }

    InstalledPrintTest() {
        // The installation's Dorvan.ini goes where an installed program reads it.
        const char* sys = std::getenv("DORVAN_SYSCONFDIR");
        EXPECT_NE(sys, nullptr);
        sysDir_ = sys != nullptr ? sys : "";
        fs::create_directories(sysDir_);
        fs::copy_file(installation_->ExeDir() + "Dorvan.ini", sysDir_ + "/Dorvan.ini",
                      fs::copy_options::overwrite_existing);
    }

    static fs::path Root() { return DORVAN_PACKAGE_ROOT; }

    inline static std::unique_ptr<PrintInstallation> installation_;
    std::string sysDir_;
    ScratchDir work_;
    // Nothing beside an executable stands in for the installed layout.
    EnvVar exeDir_{"DORVAN_EXE_DIR", std::nullopt};
    EnvVar lpt_{"DORVAN_LPT1", work_.Str() + "/lpt1"};
};

TEST_F(InstalledPrintTest, PrintsTheGoldenInvoiceAndKeepsItsScripts) {
    const fs::path program = Root() / "usr/bin/dorvan-print";
    const fs::path scripts = Root() / "usr/share/dorvan/database_scripts";
    ASSERT_TRUE(fs::is_regular_file(program)) << "package_test.sh extracts the package";
    ASSERT_FALSE(fs::is_empty(scripts));
    const std::string golden = ReadText(DORVAN_INVOICE_GOLDEN);
    ASSERT_FALSE(golden.empty());

    // Twice: the first start applies the package's update scripts, the second finds them in
    // the script log; both keep the files and say nothing.
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        fs::remove(work_.Path() / "racun.txt");
        const ProcessResult r = RunProcess(program.string(), {}, work_.Path());
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(ReadText(work_.Path() / "racun.txt"), golden);
        EXPECT_EQ(ReadText(work_.Path() / "lpt1"), golden);
        for (const auto& entry : fs::directory_iterator(DORVAN_SOURCE_DIR "/database_scripts")) {
            EXPECT_TRUE(fs::exists(scripts / entry.path().filename())) << entry.path();
            EXPECT_EQ(ScriptStatus(entry.path().filename().string()), "1");
        }
    }
    // The settings in use were written into the per-machine folder of /usr/bin/ of the
    // extracted tree, nothing beside the program.
    const char* data = std::getenv("XDG_DATA_HOME");
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(fs::exists(fs::path(data) / "Norvello/Dorvan2007" /
                           FoldExeFolder((Root() / "usr/bin/").string()) / "Dorvan.ini"));
    EXPECT_FALSE(fs::exists(Root() / "usr/bin/Dorvan.ini"));
    EXPECT_FALSE(fs::exists(Root() / "usr/bin/save"));
}

}  // namespace
}  // namespace dorvan::test
