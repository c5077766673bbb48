// The engine tests need one QApplication for their whole run (fonts, painting, widgets); it
// lives on main's stack so that it is gone before the program's static objects are.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
