// homeprep: prepares a client program folder (system.ini in LAN mode with automatic login, the tree file
// of the given DVRs, view.dat with the given channels on screen). Files that exist are kept.
//   homeprep --home DIR [--login USER:PASSWORD] [--dvr NAME,HOST,PORT[,USER:PASSWORD]]...
//            [--view SCREEN=DVR:CHANNEL]... [--screens N] [--language N]

#include <QCoreApplication>
#include <cstdio>

#include "core/tarvik_app.h"
#include "platform/system/codepage.h"
#include "tools/homeprep/program_folder.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ProgramFolderPlan plan;
    QString home;
    QString error;
    if (ParsePlanArguments(application.arguments().mid(1), &plan, &home, &error) != 0) {
        std::fprintf(stderr, "homeprep: %s\n", qPrintable(error));
        std::fprintf(
            stderr,
            "usage: homeprep --home DIR [--login USER:PASSWORD] [--dvr NAME,HOST,PORT[,USER:PASSWORD]]...\n"
            "                [--view SCREEN=DVR:CHANNEL]... [--screens N] [--language N]\n");
        return 2;
    }
    // Credentials are stored in the code page the client will read them with (VISTAL_CODEPAGE, else the
    // one of the user's locale, as the client chooses it).
    SetAnsiCodePageForLanguage(DefaultLanguageFromLocale());
    QStringList written;
    if (PrepareProgramFolder(home, plan, &written) != 0) {
        std::fprintf(stderr, "homeprep: cannot write the program folder %s\n", qPrintable(home));
        return 1;
    }
    std::printf("homeprep: %s: %s\n", qPrintable(home),
                written.isEmpty()
                    ? "every file was there already, kept"
                    : qPrintable(QStringLiteral("wrote ") + written.join(QStringLiteral(", "))));
    return 0;
}
