#include "config/lib_amount_in_words.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "config/config_error.h"

namespace dorvan {
namespace {

struct Case {
    double amount;
    const char* words;
};

void ExpectWords(const Case* begin, const Case* end) {
    for (const Case* c = begin; c != end; ++c) {
        SCOPED_TRACE(std::to_string(c->amount));
        EXPECT_EQ(lib_amountInWords(c->amount), c->words);
    }
}

// The printed examples, blanks included: the words are always followed by one space, the
// fraction text brings its own leading space.
TEST(AmountInWords, DocumentExamples) {
    static constexpr Case kCases[] = {
        {15, "tizenöt "},
        {20, "husz "},
        {2500, "kettőezer-ötszáz "},
        {1234567.5, "egymilliókettőszázharmincnégyezer-ötszázhatvanhét  50/100"},
        {100000000, "egyszázmillió "},
        {0.05, "  05/100"},
    };
    ExpectWords(std::begin(kCases), std::end(kCases));
}

TEST(AmountInWords, WordTablesAndJoiners) {
    static constexpr Case kCases[] = {
        {0, " "},
        {1, "egy "},
        {2, "kettő "},
        {9, "kilenc "},
        {10, "tiz "},
        {11, "tizenegy "},
        {19, "tizenkilenc "},
        {21, "huszonegy "},
        {22, "huszonkettő "},
        {30, "harminc "},
        {33, "harminchárom "},
        {45, "negyvenöt "},
        {58, "ötvennyolc "},
        {67, "hatvanhét "},
        {76, "hetvenhat "},
        {84, "nyolcvannégy "},
        {99, "kilencvenkilenc "},
        {100, "egyszáz "},
        {101, "egyszázegy "},
        {110, "egyszáztiz "},
        {222, "kettőszázhuszonkettő "},
        {999, "kilencszázkilencvenkilenc "},
    };
    ExpectWords(std::begin(kCases), std::end(kCases));
}

TEST(AmountInWords, ThousandsAndMillions) {
    static constexpr Case kCases[] = {
        {1001, "egyezer-egy "},
        {1100, "egyezer-egyszáz "},
        {10010, "tizezer-tiz "},
        {12345, "tizenkettőezer-háromszáznegyvenöt "},
        // No hyphen when "ezer" follows the hundreds alone.
        {100500, "egyszázezerötszáz "},
        {300001, "háromszázezeregy "},
        {1000001, "egymillióegy "},
        {2000000, "kettőmillió "},
        {20000000, "huszmillió "},
        {21000000, "huszonegymillió "},
        {1020304, "egymillióhuszezer-háromszáznégy "},
        {999999999,
         "kilencszázkilencvenkilencmilliókilencszázkilencvenkilencezer-"
         "kilencszázkilencvenkilenc "},
    };
    ExpectWords(std::begin(kCases), std::end(kCases));
}

// A thousands group with nothing after it ends in "ezer", not in a dangling hyphen.
TEST(AmountInWords, NoHyphenWithoutFollowingWords) {
    static constexpr Case kCases[] = {
        {1000, "egyezer "},
        {2000, "kettőezer "},
        {15000, "tizenötezer "},
        {1002000, "egymilliókettőezer "},
        {2000.5, "kettőezer  50/100"},
    };
    ExpectWords(std::begin(kCases), std::end(kCases));
}

TEST(AmountInWords, Hundredths) {
    static constexpr Case kCases[] = {
        {0.5, "  50/100"},   {0.01, "  01/100"}, {12.34, "tizenkettő  34/100"},
        {0.125, "  12/100"},                   // exact half to the even neighbour
        {0.375, "  38/100"}, {7.004, "hét "},  // below half a hundredth: no fraction
        {1.999, "kettő "},                     // rounds up to the next whole amount, never "00/100"
    };
    ExpectWords(std::begin(kCases), std::end(kCases));
}

TEST(AmountInWords, NegativeAmounts) {
    static constexpr Case kCases[] = {
        {-15, "mínusz tizenöt "},
        {-2500.25, "mínusz kettőezer-ötszáz  25/100"},
        {-0.05, "mínusz   05/100"},  // sign, the words' space, the fraction
        {-0.001, " "},               // rounds to nothing: no sign
    };
    ExpectWords(std::begin(kCases), std::end(kCases));
}

TEST(AmountInWords, MilliardsAndAbove) {
    static constexpr Case kCases[] = {
        {1000000000, "egymilliárd "},
        {2000000001, "kettőmilliárdegy "},
        {5000000000.75, "ötmilliárd  75/100"},
        {12345678901,
         "tizenkettőmilliárdháromszáznegyvenötmillióhatszázhetvennyolcezer-"
         "kilencszázegy "},
        {999999999999,
         "kilencszázkilencvenkilencmilliárdkilencszázkilencvenkilencmillió"
         "kilencszázkilencvenkilencezer-kilencszázkilencvenkilenc "},
        {1000000000000, "egybillió "},
        {3000000000000000, "hárombilliárd "},
        {-1000000000, "mínusz egymilliárd "},
    };
    ExpectWords(std::begin(kCases), std::end(kCases));
}

TEST(AmountInWords, AmountsWithoutWordsRaise) {
    static constexpr double kAmounts[] = {
        1e18,
        -1e19,
        std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN(),
    };
    for (double amount : kAmounts) {
        SCOPED_TRACE(std::to_string(amount));
        EXPECT_THROW(lib_amountInWords(amount), ConversionError);
    }
}

}  // namespace
}  // namespace dorvan
