// The window tests need one application object for the whole program.

#include <gtest/gtest.h>

#include "app/application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    dorvan::app::DorvanApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
