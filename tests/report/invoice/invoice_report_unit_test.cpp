// The pure routines of the invoice report: copy label, title, discount total, rounding row,
// colours, language label keys and character sets.

#include <gtest/gtest.h>

#include "report/invoice/band_rules.h"
#include "report/invoice/header_preparation.h"

namespace dorvan::invoice {
namespace {

TEST(InvoiceCopyLabel, FollowsTheCopyRunAndThePreview) {
    struct Case {
        int peldanyszam, peldany, prev;
        const char* caption;
        QColor colour;
    };
    const Case cases[] = {
        {0, 0, 0, "** MÁSOLAT **", QColor(255, 0, 0)},
        {3, 1, 0, "Összesen elkészült 3 példányból ez a 1. (EREDETI) példány", QColor(Qt::black)},
        {3, 2, 0, "Összesen elkészült 3 példányból ez a 2. példány", QColor(Qt::black)},
        {2, 1, 1, "** ELŐNÉZET **", QColor(Qt::black)},
        {0, 0, 1, "** ELŐNÉZET **", QColor(255, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        const CopyLabel label = CopyLabelOf(c.peldanyszam, c.peldany, c.prev);
        EXPECT_EQ(label.caption, c.caption);
        EXPECT_EQ(label.colour, c.colour);
    }
}

TEST(InvoiceTitle, ReversalWinsOverAdvanceInvoice) {
    EXPECT_EQ(InvoiceTitle(0, 5), "SZÁMLA");
    EXPECT_EQ(InvoiceTitle(0, 16), "ELŐLEGSZÁMLA");
    EXPECT_EQ(InvoiceTitle(4321, 16), "ÉRVÉNYTELENÍTŐ OKIRAT");
    EXPECT_EQ(InvoiceTitle(4321, 5), "ÉRVÉNYTELENÍTŐ OKIRAT");
}

TEST(InvoiceDiscountTotal, GroupsWholeAmountsOnly) {
    struct Case {
        double amount;
        const char* currency;
        const char* text;
    };
    const Case cases[] = {
        {1234, "HUF", "1 234 HUF"},        {123, "HUF", "123 HUF"},
        {1234567, "HUF", "1 234 567 HUF"}, {1234.5, "EUR", "1234,5 EUR"},
        {-123, "HUF", "- 123 HUF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DiscountTotalText(c.amount, c.currency), c.text);
    }
}

TEST(InvoiceRoundingRow, PrintsOnlyFromHalfACentUpward) {
    struct Case {
        double kerekites;
        bool prints;
    };
    const Case cases[] = {{0, false},     {0.004, false}, {-0.004, false},
                          {0.005, false}, {0.015, true},  {0.006, true},
                          {0.01, true},   {-0.4, true},   {2.0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kerekites);
        EXPECT_EQ(RoundingPrints(c.kerekites), c.prints);
    }
}

TEST(InvoiceColours, SettingsAreBgrAndZeroMeansDefault) {
    EXPECT_EQ(ColourFromSetting(0, QColor(0xE6, 0xE6, 0xE6)), QColor(0xE6, 0xE6, 0xE6));
    EXPECT_EQ(ColourFromSetting(0x0000FF, QColor(Qt::white)), QColor(255, 0, 0));
    EXPECT_EQ(ColourFromSetting(0xFF0000, QColor(Qt::white)), QColor(0, 0, 255));
    EXPECT_EQ(DetailColour(1, 0xC0C0C0), QColor(Qt::white));
    EXPECT_EQ(DetailColour(2, 0xC0C0C0), QColor(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(DetailColour(2, 0), QColor(Qt::white));
    EXPECT_EQ(DetailColour(71, 0x123456), QColor(Qt::white));
}

TEST(InvoiceLanguageLabels, KeyAndCharacterSet) {
    EXPECT_EQ(LangLabelKey("QRLabel_10000_lang"), "10000");
    EXPECT_EQ(LangLabelKey("QRLabel_10015_Lang"), "10015");
    EXPECT_EQ(LangLabelKey("QRLabel_10190_Lang"), "10190");
    EXPECT_EQ(LangLabelKey("QRLabel_x_LANG_lang"), "x");
    EXPECT_EQ(LangLabelKey("NoUnderscore_lang"), "lang");
    struct Case {
        const char* carset;
        int charset;
    };
    const Case cases[] = {{"238 - EASTEUROPE_CHARSET", 238},
                          {"0 - ANSI_CHARSET", 0},
                          {"1 -", 1},
                          {"EASTEUROPE", 0},
                          {"", 0},
                          {"x38 - y", 0},
                          {"-", 0},
                          {"204 -RUSSIAN", 204}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.carset);
        EXPECT_EQ(CharsetOf(c.carset), c.charset);
    }
}

TEST(InvoiceSettingsBytes, HexadecimalByteaIsDecoded) {
    EXPECT_EQ(ByteaBytes("\\x4a4b00ff"), std::string("JK\0\xff", 4));
    EXPECT_EQ(ByteaBytes("{\\rtf1 x}"), "{\\rtf1 x}");
    EXPECT_EQ(ByteaBytes(""), "");
}

}  // namespace
}  // namespace dorvan::invoice
