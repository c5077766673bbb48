// The demo invoices through the whole road: datasets on the demo database, preparation,
// layout and the plain-text export.

#include <gtest/gtest.h>

#include <iostream>

#include "invoice_report_support.h"

namespace dorvan::test {
namespace {

class DemoInvoiceTest : public InvoiceTest {};

TEST_F(DemoInvoiceTest, Invoice4317AsText) {
    TQuickRep_szamlabizonylat rep(dm);
    rep.fej_kod = 4317;
    const std::string path = TempPath("racun.txt");
    rep.ExportText(path);
    const std::string bytes = ReadBytes(path);
    std::cout << FromCp1250(bytes);
}

}  // namespace
}  // namespace dorvan::test
