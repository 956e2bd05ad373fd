#include <QApplication>
#include <clocale>

#include "core/file_version_text.h"
#include "core/tarvik_app.h"
#include "media/pixel_routines.h"
#include "ui/client_resources.h"

// The file version the Updater reads from this binary.
VISTAL_FILE_VERSION_TEXT("4.4.2.0")

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    InstallClientResources();
    // The pixel routine table is filled before the application system starts and emptied after it ends.
    ImgInitDispatch();
    theApp.InitInstance();
    int code = theApp.ExitInstance();
    ImgShutdown();
    return code;
}
