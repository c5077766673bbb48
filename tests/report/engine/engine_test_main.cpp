// The engine tests need one QApplication for their whole run (fonts, painting, widgets); it
// lives on main's stack so that it is gone before the program's static objects are. Files
// written by the tests go to a temporary folder removed at the end.

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "engine_test_support.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    const QTemporaryDir files;
    if (!files.isValid())
        return 1;
    dorvan::report::test::SetTempDirectory(files.path());
    return RUN_ALL_TESTS();
}
