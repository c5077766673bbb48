#pragma once
// The document the invoice report prints. The report owns the one selection; its datasets
// read it by reference each time they open or compute a row.

#include <string>

namespace dorvan {

struct InvoiceSelection {
    int fej_kod = 0;            // key of the document header
    std::string bizonylatszam;  // when not empty the document is chosen by this number instead
    std::string nyelv;          // second language: 8 hex digits ("00000409"), "" none
    int prev = 0;               // 1: the "_prev_" copy of a document being edited
    int peldanyszam = 0;        // number of copies being printed; 0 no copy run
    int peldany = 0;            // number of the copy now printed, from 1
};

}  // namespace dorvan
