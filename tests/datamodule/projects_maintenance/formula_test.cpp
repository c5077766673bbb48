// Price formulas: numbers, variables, the four operations with their precedence, parentheses,
// unary minus and decimal commas; every malformed formula is an error, never a 0.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "datamodule/system/maintenance.h"

namespace dorvan {
namespace {

double Evaluate(const std::string& formula) {
    const std::map<std::string, double> vars = {{"a", 2}, {"b", 3}, {"Lista ár", 1250}};
    return EvaluateFormula(formula, [&](const std::string& name) {
        const auto it = vars.find(name);
        if (it == vars.end())
            throw FormulaError("Ismeretlen változó a képletben: [" + name + "]");
        return it->second;
    });
}

TEST(EvaluateFormula, ComputesWithPrecedenceParenthesesAndVariables) {
    struct Case {
        const char* formula;
        double value;
    };
    const Case cases[] = {
        {"42", 42},
        {"1+2*3", 7},
        {"(1+2)*3", 9},
        {"2-3-4", -5},
        {"8/2/2", 2},
        {"10/4", 2.5},
        {"-2*-3", 6},
        {"2 - -1", 3},
        {"-(2+3)", -5},
        {"+4", 4},
        {"1,5*2", 3},
        {"0.25 + ,75", 1},
        {"[a]*[b]", 6},
        {"[ a ] + 1", 3},
        {"[Lista ár] * 1,27", 1587.5},
        {"([a]+[b])*([a]-[b])", -5},
        {"  7  ", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        EXPECT_DOUBLE_EQ(Evaluate(c.formula), c.value);
    }
}

TEST(EvaluateFormula, MalformedFormulasAndDivisionByZeroAreErrors) {
    struct Case {
        const char* formula;
        const char* message;  // part of the error text
    };
    const Case cases[] = {
        {"", "üres képlet"},
        {"   ", "üres képlet"},
        {"1+", "hiányzó érték"},
        {"(1+2", "hiányzó \")\""},
        {"1+2)", "váratlan karakter: \")\""},
        {"1/0", "Nullával osztás"},
        {"1/(2-2)", "Nullával osztás"},
        {"[a]/([b]-3)", "Nullával osztás"},
        {"[x]", "Ismeretlen változó a képletben: [x]"},
        {"[]", "üres változónév"},
        {"[a", "hiányzó \"]\""},
        {"1..2", "hibás szám"},
        {"1,2,3", "hibás szám"},
        {".", "hibás szám"},
        {"2*/3", "váratlan karakter: \"/\""},
        {"abc", "váratlan karakter: \"a\""},
        {"1 2", "váratlan karakter: \"2\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.formula);
        try {
            const double value = Evaluate(c.formula);
            ADD_FAILURE() << "no error, value " << value;
        } catch (const FormulaError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace dorvan
