// The module's query components are opened in bulk in the order their areas register them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "datamodule/dm.h"

TEST(ComponentOrder, BulkOpenedQueriesComeInRegistrationOrder) {
    dorvan::TDM dm;
    std::vector<std::string> names;
    for (const dorvan::db::DataSet* q : dm.Queries) {
        if (q->Tag() < 0)
            continue;  // opened on demand by its users, not in bulk
        names.push_back(q->Name());
    }
    const std::vector<std::string> expected = {"Lang_textZQuery",         "TulajdonosZQuery",
                                               "_setup_mainSQL",          "TesztZQuery",
                                               "Raktar_mozgas_fejZQuery", "EgyediZQuery"};
    ASSERT_GE(names.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + expected.size()), expected);
}
