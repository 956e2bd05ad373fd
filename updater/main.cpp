// The update program: checks the update server for a newer client and installs it on the operator's word.

#include <QApplication>
#include <QStringList>

#include "platform/system/descriptor_limit.h"
#include "platform/system/file_size_limit.h"
#include "updater/updater_app.h"
#include "updater/updater_dialog_templates.h"

int main(int argc, char** argv) {
    // The command line before Qt takes its own options out of it.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    static_cast<void>(RaiseDescriptorLimit());
    // A download or unpacked file that meets a file-size limit fails its write instead of ending the program.
    static_cast<void>(IgnoreFileSizeSignal());
    QApplication application(argc, argv);
    InstallUpdaterResources();
    CUpdaterApp theApp(arguments);
    return theApp.Start();
}
