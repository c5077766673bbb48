// The module's query components are opened in bulk in the module's component order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datamodule/dm.h"

TEST(ComponentOrder, StartupQueriesComeFirstInTheModulesOrder) {
    dorvan::TDM dm;
    std::vector<std::string> names;
    for (const dorvan::db::DataSet* q : dm.Queries) {
        names.push_back(q->Name());
    }
    const std::vector<std::string> expected = {"Lang_textZQuery",         "TulajdonosZQuery",
                                               "_setup_mainSQL",          "TesztZQuery",
                                               "Raktar_mozgas_fejZQuery", "EgyediZQuery"};
    ASSERT_GE(names.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + expected.size()), expected);
}
