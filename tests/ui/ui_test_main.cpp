// Window tests run offscreen; screenshots go to build/screenshots for a person to look at.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/program_paths.h"
#include "support/test_support.h"

int main(int argc, char** argv) {
    // gtest_discover_tests lists the tests without the test environment: Qt must not look for a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (!vpk::test::InstallDir().empty()) vpk::SetProgramFolderHost(vpk::test::InstallDir());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
