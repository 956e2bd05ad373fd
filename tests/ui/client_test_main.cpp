// Main of the client's window suites: the client's resources installed, then the window suites' main.

#include "tests/platform/ui/ui_test_support.h"
#include "ui/client_resources.h"

int main(int argc, char** argv) {
    InstallClientResources();
    return RunWindowTests(argc, argv);
}
