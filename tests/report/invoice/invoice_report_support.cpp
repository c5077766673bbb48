#include "invoice_report_support.h"

#include <QApplication>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <set>

#include "config/main_table.h"
#include "report/engine/utf8.h"
#include "report/engine/windows1250.h"
#include "support/pg_fixture.h"

namespace dorvan::test {

namespace {

// The Qt application the engine's fonts need, and a folder for the files of the tests.
class QtEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        app_ = std::make_unique<QApplication>(argc_, argv_);
        dir_ = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(dir_->isValid());
        qputenv("TMPDIR", dir_->path().toUtf8());
    }
    void TearDown() override {
        dir_.reset();
        app_.reset();
    }
    std::string Path(const std::string& name) const {
        return dir_->filePath(QString::fromStdString(name)).toStdString();
    }

  private:
    int argc_ = 1;
    char arg0_[20] = "invoice_report_test";
    char* argv_[2] = {arg0_, nullptr};
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<QTemporaryDir> dir_;
};

QtEnvironment* const g_qt =
    static_cast<QtEnvironment*>(::testing::AddGlobalTestEnvironment(new QtEnvironment));

const std::vector<std::string> kHeaderColumns = {"kod",
                                                 "Bizonylatszam",
                                                 "_prev_bizonylat",
                                                 "partner_kod",
                                                 "kiallito_sorok",
                                                 "vevo_sorok",
                                                 "telj_datum",
                                                 "kelte",
                                                 "fiz_hatarido",
                                                 "fizetesmod_szla",
                                                 "fizetesmod_kod",
                                                 "deviza_nev",
                                                 "raktar_mozgas_bizonylat",
                                                 "fizetesmod_szla_langtext",
                                                 "Megjegyzes",
                                                 "sztorno_megjegyzes",
                                                 "forras_bizonylat_leiras",
                                                 "projekt_zaradek",
                                                 "kerekites",
                                                 "netto_arbevetel_vegosszeg",
                                                 "AFA_arbevetel_vegosszeg",
                                                 "brutto_arbevetel_vegosszeg",
                                                 "zaradek",
                                                 "zaradek_langtext",
                                                 "netto_kedvezmeny",
                                                 "netto_kedvezmeny_HUF",
                                                 "brutto_arbevetel_vegosszeg_HUF",
                                                 "partner_kedvezmeny_megj_tiltasa",
                                                 "sztornozott_bizonylat_kod",
                                                 "bizonylat_fajta",
                                                 "mozgasnem_kod",
                                                 "forras_raktar_kod",
                                                 "cel_raktar_kod",
                                                 "postacim_nev",
                                                 "postacim_telepules",
                                                 "postacim_cim",
                                                 "postacim_iszam",
                                                 "postacim_orszag",
                                                 "nev",
                                                 "telepules",
                                                 "cim",
                                                 "iszam",
                                                 "orszag",
                                                 "c_userid"};

const std::vector<std::string> kLineColumns = {"kod",
                                               "afakulcs",
                                               "elojel",
                                               "eredeti_szallito_telj_datum",
                                               "Masodik_sor",
                                               "masodik_sor_langtext",
                                               "tetel_azonosito_kod",
                                               "mennyiseg",
                                               "mee",
                                               "netto_egysegar",
                                               "netto_arbevetel",
                                               "afa_szazalek",
                                               "AFA_arbevetel",
                                               "brutto_arbevetel",
                                               "mee_langtext",
                                               "afa_mentes",
                                               "kedvezmeny_szazalek",
                                               "listaar",
                                               "deviza",
                                               "kedv",
                                               "elojel_leiras",
                                               "elojel_leiras_lengtext",
                                               "afa_leiras",
                                               "afa_leiras_langtext"};

std::unique_ptr<report::MemoryDataSource> Source(const std::vector<std::string>& columns,
                                                 const std::vector<Row>& rows) {
    auto source = std::make_unique<report::MemoryDataSource>(columns);
    for (const Row& row : rows) {
        std::vector<QVariant> values;
        for (const auto& c : columns) {
            const auto it = row.find(c);
            values.push_back(it == row.end() ? QVariant() : it->second);
        }
        source->AddRow(std::move(values));
    }
    return source;
}

}  // namespace

MemoryInvoiceData::MemoryInvoiceData() {
    header = {{"kod", 1},
              {"Bizonylatszam", "SZ-2026/0001"},
              {"_prev_bizonylat", "????????"},
              {"partner_kod", 2},
              {"kiallito_sorok", "Kiállító Kft.\r5000 Szolnok"},
              {"vevo_sorok", "Vevő Bt.\r1111 Budapest"},
              {"telj_datum", QDate(2026, 12, 1)},
              {"kelte", QDate(2026, 12, 1)},
              {"fiz_hatarido", QDate(2026, 12, 9)},
              {"fizetesmod_szla", "Átutalás"},
              {"fizetesmod_kod", 2},
              {"deviza_nev", "HUF"},
              {"raktar_mozgas_bizonylat", "RM-0001"},
              {"kerekites", 0.0},
              {"netto_arbevetel_vegosszeg", 1000.0},
              {"AFA_arbevetel_vegosszeg", 270.0},
              {"brutto_arbevetel_vegosszeg", 1270.0},
              {"netto_kedvezmeny", 0.0},
              {"netto_kedvezmeny_HUF", 0.0},
              {"brutto_arbevetel_vegosszeg_HUF", 1270.0},
              {"partner_kedvezmeny_megj_tiltasa", 0},
              {"sztornozott_bizonylat_kod", 0},
              {"bizonylat_fajta", 5},
              {"nev", "Vevő Bt."},
              {"c_userid", ""}};
    Rebuild();
}

void MemoryInvoiceData::SetHeader(const Row& changes) {
    for (const auto& [k, v] : changes)
        header[k] = v;
    Rebuild();
}

void MemoryInvoiceData::AddLine(const Row& changes) {
    Row line = {{"kod", static_cast<int>(lines.size()) + 1},
                {"afakulcs", 1},
                {"Masodik_sor", "Tétel " + QString::number(lines.size() + 1)},
                {"tetel_azonosito_kod", "T1"},
                {"mennyiseg", 1.0},
                {"mee", "db"},
                {"netto_egysegar", 100.0},
                {"netto_arbevetel", 100.0},
                {"afa_szazalek", 27.0},
                {"AFA_arbevetel", 27.0},
                {"brutto_arbevetel", 127.0},
                {"afa_mentes", 0},
                {"kedvezmeny_szazalek", 0.0},
                {"afa_leiras", "27% ÁFA"}};
    for (const auto& [k, v] : changes)
        line[k] = v;
    const double net = line["netto_arbevetel"].toDouble();
    line["elojel"] = net > 0 ? 1.0 : (net < 0 ? -1.0 : 0.0);
    lines.push_back(std::move(line));
    Rebuild();
}

bool MemoryInvoiceData::Reopen() {
    std::map<int, std::set<int>> signs;
    for (const Row& line : lines)
        signs[line.at("afakulcs").toInt()].insert(line.at("elojel").toInt());
    std::vector<Row> rows;
    signFooter = false;
    for (const auto& [key, set] : signs) {
        rows.push_back({{"afakulcs", key}, {"elojel_db", static_cast<qlonglong>(set.size())}});
        signFooter = signFooter || set.size() > 1;
    }
    sign_ = Source({"afakulcs", "elojel_db"}, rows);
    // The sign captions of the lines follow the sign footer, as in the real dataset.
    for (Row& line : lines)
        line["elojel_leiras"] =
            signFooter ? QVariant(line["elojel"].toDouble() < 0 ? "Visszavezetések összesen:"
                                                                : "Teljesített tételek összesen:")
                       : QVariant("");
    Rebuild();
    lines_->First();
    return signFooter;
}

void MemoryInvoiceData::Rebuild() {
    header_ = Source(kHeaderColumns, {header});
    lines_ = Source(kLineColumns, lines);
    if (!sign_)
        sign_ = Source({"afakulcs", "elojel_db"}, {});
}

void InvoiceTest::SetUp() {
    MainTable().UserID.clear();
    MainTable().Nyomtatvany_sorkiemeles = 0;
    MainTable().Bizonylat_sorkiemeles = 0;
    dm.ConnectLocal(DatabaseParams());
    dm.ExecSQL("CREATE TABLE IF NOT EXISTS _test_setup_main_saved AS SELECT * FROM _setup_main");
}

void InvoiceTest::TearDown() {
    dm._setup_mainSQL.Close();
    dm.ExecSQL("DELETE FROM _setup_main");
    dm.ExecSQL("INSERT INTO _setup_main SELECT * FROM _test_setup_main_saved");
    MainTable().Nyomtatvany_sorkiemeles = 0;
    MainTable().Bizonylat_sorkiemeles = 0;
}

void InvoiceTest::ChangeSettings(const std::string& assignments) {
    dm._setup_mainSQL.Close();
    dm.ExecSQL("UPDATE _setup_main SET " + assignments);
}

std::vector<std::string> TextsOn(const report::Page& page, const std::string& control) {
    std::vector<std::string> out;
    for (const auto& item : page.items)
        if (const auto* run = std::get_if<report::TextRun>(&item);
            run && run->controlName == control)
            out.push_back(run->text);
    return out;
}

std::vector<std::string> TextsOf(const report::PageDocument& doc, const std::string& control) {
    std::vector<std::string> out;
    for (const auto& page : doc.pages)
        for (auto& t : TextsOn(page, control))
            out.push_back(std::move(t));
    return out;
}

std::vector<std::string> ControlOrder(const report::PageDocument& doc) {
    std::vector<std::string> out;
    for (const auto& page : doc.pages)
        for (const auto& item : page.items)
            if (const auto* run = std::get_if<report::TextRun>(&item))
                out.push_back(run->controlName);
    return out;
}

QColor FillBehind(const report::Page& page, const report::TextRun& run) {
    QColor found;
    for (const auto& item : page.items)
        if (const auto* rect = std::get_if<report::RectItem>(&item);
            rect && rect->fill.isValid() && rect->width > 180 && rect->top <= run.top + 0.01 &&
            run.top < rect->top + rect->height - 0.01)
            found = rect->fill;
    return found;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const auto end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            out.push_back(bytes.substr(pos));
            break;
        }
        out.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

std::string FromCp1250(const std::string& bytes) {
    return report::CodePointsToUtf8(report::Windows1250ToCodePoints(bytes));
}

std::string TempPath(const std::string& name) {
    return g_qt->Path(name);
}

}  // namespace dorvan::test
