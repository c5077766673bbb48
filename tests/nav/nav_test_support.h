#pragma once
// Shared by the tests of the invoice data without a database: a valid forint invoice's stored
// values, and the schema check of a document.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "nav/nav_invoice.h"

namespace dorvan::nav::test {

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

inline bool SchemaPresent() {
    return std::filesystem::exists(std::filesystem::path(DORVAN_NAV_SCHEMA_DIR) / "validate.xsd");
}

// Validates `xml` with xmllint against the schema folder; "" when valid, else the output.
inline std::string SchemaErrors(const std::string& xml) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("nav_schema_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "invoice.xml";
    const fs::path log = dir / "xmllint.log";
    std::ofstream(file, std::ios::binary) << xml;
    const std::string command = "xmllint --noout --nonet --schema '" +
                                std::string(DORVAN_NAV_SCHEMA_DIR) + "/validate.xsd' '" +
                                file.string() + "' > '" + log.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    const std::string output((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    fs::remove_all(dir);
    return status == 0 ? "" : output + "\n" + xml;
}

// A forint invoice of two lines to a domestic company.
inline TNavInvoiceSource BaseInvoice() {
    TNavInvoiceSource s;
    s.bizonylatszam = "SZ2026/0000099";
    s.kelte = "2026-12-03";
    s.telj_datum = "2026-12-02";
    s.fiz_hatarido = "2026-12-11";
    s.deviza_nev = "HUF";
    s.deviza_arfolyam = 1;
    s.nav_fizetesmod = "TRANSFER";
    s.kiallito = {"Tiszavirág Kereskedelmi Kft.",
                  "5000",
                  "Szolnok",
                  "Kossuth Lajos út 12.",
                  "12345678-2-16",
                  "HU12345678",
                  "11773016-01234567-00000000",
                  ""};
    s.vevo = {2,
              "O'Neill Építő Kft.",
              "6000",
              "Kecskemét",
              "Szent István körút 21.",
              "Magyarország",
              "24681357-2-03",
              "HU24681357"};
    const TNavVatKeySource afa27{1, "27%", 27, 0, 0, "PERCENTAGE"};
    s.tetelek = {
        {"Csavarhúzó készlet\r12 részes", "8205 40 00", 1, 3, "db", 4990, 4990, 14970, 14970,
         19011.9, 19011.9, afa27},
        {"Szerelési munkadíj", "", 0, 2.5, "óra", 8500, 8500, 21250, 21250, 26987.5, 26987.5,
         afa27},
    };
    s.netto_arbevetel_vegosszeg = 36220;
    s.afa_arbevetel_vegosszeg = 9779.4;
    s.brutto_arbevetel_vegosszeg = 45999;
    s.netto_arbevetel_vegosszeg_huf = 36220;
    s.afa_arbevetel_vegosszeg_huf = 9779.4;
    s.brutto_arbevetel_vegosszeg_huf = 45999;
    return s;
}

}  // namespace dorvan::nav::test
