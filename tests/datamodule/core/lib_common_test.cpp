#include <gtest/gtest.h>

#include <cmath>

#include "datamodule/core/lib_common.h"
#include "db/value.h"

namespace dorvan {
namespace {

TEST(LibRoundTo, RoundsDecimalTextHalvesToEven) {
    struct Case {
        int decimals;
        double value;
        double expected;
    };
    // Values are taken at their shortest decimal text: 2.675 (binary 2.67499999...) is an
    // exact half and goes to the even neighbour 2.68.
    const Case cases[] = {
        {2, 2.675, 2.68},   {2, 2.665, 2.66},    {2, 1.005, 1.0},
        {2, 1.015, 1.02},   {2, 0.125, 0.12},    {2, 0.135, 0.14},
        {2, -2.675, -2.68}, {2, 2.6751, 2.68},   {2, 2.6749, 2.67},
        {2, 1.1, 1.1},      {0, 0.5, 0},         {0, 1.5, 2},
        {0, 2.5, 2},        {0, -2.5, -2},       {0, -3.5, -4},
        {0, 2.4999, 2},     {1, 0.05, 0.0},      {1, 0.15, 0.2},
        {1, 0.25, 0.2},     {1, 0.35, 0.4},      {3, 1234.5675, 1234.568},
        {2, 9.995, 10.0},   {2, 99.995, 100.0},  {4, 1e-5, 0.0},
        {0, 1e20, 1e20},    {2, 0.1 + 0.2, 0.3}, {2, 1234567.125, 1234567.12},
        {0, -0.4, 0},       {5, 1.23, 1.23},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.decimals) + " / " + db::FormatDouble(c.value));
        const double r = lib_roundTo(c.decimals, c.value);
        EXPECT_EQ(r, c.expected) << db::FormatDouble(r);
        EXPECT_FALSE(r == 0 && std::signbit(r)) << "negative zero";
    }
}

TEST(LibRoundTo, CashRoundingToFive) {
    struct Case {
        double value;
        double expected;
    };
    const Case cases[] = {
        {0, 0},         {1, 0},         {2.49, 0},         {2.5, 5},  {4, 5},
        {7.49, 5},      {7.5, 10},      {9.99, 10},        {12, 10},  {12.5, 15},
        {1232.4, 1230}, {1237.5, 1240}, {1234.75, 1235},   {-2.4, 0}, {-2.5, -5},
        {-7.5, -10},    {-1236, -1235}, {99997.5, 100000}, {0.3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(db::FormatDouble(c.value));
        EXPECT_EQ(lib_roundTo(-50, c.value), c.expected);
    }
}

TEST(LibRoundTo, OtherNegativeDecimalsGiveZero) {
    for (int d : {-1, -2, -49, -51, -100}) {
        SCOPED_TRACE(d);
        EXPECT_EQ(lib_roundTo(d, 1234.5), 0);
    }
}

TEST(LibBizonylatFajtaNev, NamesEveryKindAndQuestionMarkOutside) {
    struct Case {
        int fajta;
        const char* name;
    };
    const Case cases[] = {
        {-1, "?"},
        {0, "?"},
        {1, "Raktár mozgás"},
        {2, "Bizományosi átadás"},
        {3, "Nyugtás eladás"},
        {4, "Szállítós eladás"},
        {5, "Számlás eladás"},
        {6, "Raktárközi mozgás"},
        {7, "Raktár mozgás"},
        {8, "Gyártási lap"},
        {9, "Proforma számla"},
        {10, "Árajánlat"},
        {11, "Kimenő megrendelés"},
        {12, "Bejövő megrendelés visszaigazolás"},
        {13, "Projekt felhasználás"},
        {14, "Felvásárlási jegy"},
        {15, "Árajánlatkérő"},
        {16, "Előlegszámla"},
        {17, "Átvételi jegy"},
        {18, "?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fajta);
        EXPECT_EQ(lib_bizonylatFajtaNev(c.fajta), c.name);
    }
}

}  // namespace
}  // namespace dorvan
