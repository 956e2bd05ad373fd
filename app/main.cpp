#include <QApplication>
#include <clocale>

#include "core/file_version_text.h"
#include "core/tarvik_app.h"

// The file version the Updater reads from this binary.
VISTAL_FILE_VERSION_TEXT("4.4.2.0")

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    theApp.InitInstance();
    return theApp.ExitInstance();
}
