// Main of the window-layer suites: a QApplication and the window message loop, then the tests.

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/ui/message_loop.h"
#include "tests/platform/ui/ui_test_support.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests happens without CTest's environment: the windows are never on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestApp theApp;
    InstallWindowMessageLoop();
    int result = RUN_ALL_TESTS();
    RemoveWindowMessageLoop();
    return result;
}
