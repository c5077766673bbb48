// The demo invoices as PDF, read back the way a user or a script reads them: the text layer
// (pdftotext) holds every caption, clause and amount whole, every word lies inside the
// printable area (10 to 200 mm across the A4 page), and every word is really drawn: the
// rendered page (pdftoppm) has ink at both ends of each word's box.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "invoice_report_support.h"

namespace dorvan::test {
namespace {

namespace fs = std::filesystem;

constexpr double kPointsPerMm = 72 / 25.4;
constexpr double kAreaLeftMm = 10;
constexpr double kAreaRightMm = 200;
constexpr int kDpi = 100;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs a shell command line; its standard output goes to `out`.
bool RunTool(const std::string& command, const fs::path& out) {
    return std::system((command + " >'" + out.string() + "' 2>&1").c_str()) == 0;
}

struct Word {
    int page = 0;                                   // 0-based
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;  // points
    std::string text;
};

// The words of `pdftotext -bbox`, with their pages.
std::vector<Word> WordsOf(const std::string& html) {
    static const std::regex kItem(
        R"re(<page |<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
    std::vector<Word> words;
    int page = -1;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), kItem);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (!m[1].matched) {
            ++page;
            continue;
        }
        words.push_back(
            {page, std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4]), m[5]});
    }
    return words;
}

// One grey page of pdftoppm (binary PGM).
struct GreyPage {
    int width = 0;
    int height = 0;
    std::string pixels;

    bool DarkIn(double x0, double y0, double x1, double y1) const {
        const auto px = [](double pt) { return static_cast<int>(pt / 72 * kDpi); };
        for (int y = std::max(px(y0), 0); y <= std::min(px(y1), height - 1); ++y)
            for (int x = std::max(px(x0), 0); x <= std::min(px(x1), width - 1); ++x)
                if (static_cast<unsigned char>(pixels[static_cast<std::size_t>(y) * width + x]) <
                    160)
                    return true;
        return false;
    }
};

GreyPage ReadPgm(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    GreyPage page;
    int maxValue = 0;
    in >> magic >> page.width >> page.height >> maxValue;
    in.get();
    page.pixels.resize(static_cast<std::size_t>(page.width) * page.height);
    in.read(page.pixels.data(), static_cast<std::streamsize>(page.pixels.size()));
    return page;
}

class InvoicePdfTextTest : public InvoiceTest {};

TEST_F(InvoicePdfTextTest, EveryWordIsWholeDrawnAndInsideThePrintableArea) {
    struct Case {
        int key;
        const char* lang;
        std::vector<std::string> texts;  // whole in the text layer
    };
    const std::string clause =
        "ÁFA mentes (vevő /országa törvényei szerinti/ adófizetésre kötelezett)";
    const Case cases[] = {
        {4317, "0000040e", {"Kedvezmény összege:", "9 495 HUF", "Vevő:", "Lap:"}},
        {4317,
         "00000409",
         {"Kedvezmény összege: / Discount amount:", "9 495 HUF", "Customer:", "Page:"}},
        {4317, "00000407", {"Kedvezmény összege:", "9 495 HUF", "Kunde:", "Seite:"}},
        {4318, "0000040e", {clause}},
        {4318, "00000409", {clause, "Customer:", "Page:", "Classification", "Grand total:"}},
        {4318, "00000407", {clause, "Kunde:", "Seite:"}},
        {4320, "0000040e", {"Lap:"}},
        {4320, "00000409", {"Customer:", "Page:"}},
        {4320, "00000407", {"Seite:", "Rechnungsnummer", "Rechnungsdatum", "Klassifizierung"}},
    };
    for (const auto& c : cases) {
        const std::string name = std::to_string(c.key) + "_" + c.lang;
        SCOPED_TRACE(name);
        TQuickRep_szamlabizonylat rep(dm);
        rep.selection.fej_kod = c.key;
        rep.selection.nyelv = c.lang;
        const fs::path dir = TempPath("pdf_" + name);
        fs::create_directories(dir);
        const fs::path pdf = dir / "invoice.pdf";
        rep.ExportPdf(pdf.string());

        ASSERT_TRUE(RunTool("pdftotext -layout '" + pdf.string() + "' -", dir / "layout.txt"));
        const std::string layout = ReadAll(dir / "layout.txt");
        for (const std::string& text : c.texts)
            EXPECT_NE(layout.find(text), std::string::npos) << text << "\n" << layout;

        ASSERT_TRUE(RunTool("pdftotext -bbox '" + pdf.string() + "' -", dir / "bbox.html"));
        const std::vector<Word> words = WordsOf(ReadAll(dir / "bbox.html"));
        ASSERT_GT(words.size(), 100u);
        ASSERT_TRUE(RunTool("pdftoppm -gray -r " + std::to_string(kDpi) + " '" + pdf.string() +
                                "' '" + (dir / "page").string() + "'",
                            dir / "pdftoppm.txt"));
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".pgm")
                files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        std::vector<GreyPage> pages;
        for (const fs::path& file : files)
            pages.push_back(ReadPgm(file));

        int outside = 0;
        int undrawn = 0;
        for (const Word& w : words) {
            if (w.xMin < kAreaLeftMm * kPointsPerMm - 0.5 ||
                w.xMax > kAreaRightMm * kPointsPerMm + 0.5) {
                if (++outside <= 5)
                    ADD_FAILURE() << "outside the printable area: \"" << w.text << "\" at "
                                  << w.xMin / kPointsPerMm << " to " << w.xMax / kPointsPerMm
                                  << " mm";
            }
            ASSERT_LT(w.page, static_cast<int>(pages.size()));
            const GreyPage& page = pages[static_cast<std::size_t>(w.page)];
            const double quarter = std::max((w.xMax - w.xMin) / 4, 1.5);
            if (!page.DarkIn(w.xMin, w.yMin, w.xMin + quarter, w.yMax) ||
                !page.DarkIn(w.xMax - quarter, w.yMin, w.xMax, w.yMax)) {
                if (++undrawn <= 5)
                    ADD_FAILURE() << "not drawn whole: \"" << w.text << "\" on page " << w.page + 1
                                  << " at " << w.xMin / kPointsPerMm << " mm";
            }
        }
        EXPECT_EQ(outside, 0);
        EXPECT_EQ(undrawn, 0);
    }
}

}  // namespace
}  // namespace dorvan::test
