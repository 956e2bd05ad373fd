#include <QApplication>
#include <clocale>

#include "core/tarvik_app.h"

// The file version the Updater reads from this binary: the text between NUL bytes.
extern "C" __attribute__((used)) const char kVistalFileVersion[] = "\0VISTAL-FILEVERSION=4.4.2.0";

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    theApp.InitInstance();
    return theApp.ExitInstance();
}
