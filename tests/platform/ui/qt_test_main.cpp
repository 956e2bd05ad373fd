// Main of the window-layer suites: a QApplication and the window message loop, then the tests. The window
// layer gets no resources: its suites bring their own templates.

#include "tests/platform/ui/ui_test_support.h"

int main(int argc, char** argv) {
    return RunWindowTests(argc, argv);
}
