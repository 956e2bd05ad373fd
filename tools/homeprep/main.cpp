// homeprep: prepares a client program folder (system.ini in LAN mode with automatic login, the tree file
// of the given DVRs, view.dat with the given channels on screen). Files that exist are kept.
//   homeprep --home DIR [--login USER:PASSWORD] [--dvr NAME,HOST,PORT[,USER:PASSWORD]]...
//            [--view SCREEN=DVR:CHANNEL]... [--screens N] [--language N]

#include <QCoreApplication>
#include <cstdio>

#include "core/tarvik_app.h"
#include "platform/system/codepage.h"
#include "tools/homeprep/program_folder.h"
#include "tools/simkit/tool_options.h"

namespace {

const char kUsage[] =
    "usage: homeprep --home DIR [--login USER:PASSWORD] [--dvr NAME,HOST,PORT[,USER:PASSWORD]]...\n"
    "                [--view SCREEN=DVR:CHANNEL]... [--screens N] [--language N]\n"
    "Prepares a client program folder: LAN mode with the automatic login of the given account, the given\n"
    "DVRs in the device tree (DVR numbers count from 0) and their channels on screens. Files that are\n"
    "there already are kept.\n";

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    // The options are read whole (with their checks across options) once --help has had its say.
    QStringList arguments;
    auto take = [&](const char* name, const char* value) {
        arguments << QString::fromLocal8Bit(name) << QString::fromLocal8Bit(value);
        return kOptionTaken;
    };
    int exitCode = 0;
    if (ReadToolOptions(argc, argv, kUsage, take, &exitCode) != 0)
        return exitCode;
    ProgramFolderPlan plan;
    QString home;
    QString error;
    if (ParsePlanArguments(arguments, &plan, &home, &error) != 0) {
        std::fprintf(stderr, "homeprep: %s\n", qPrintable(error));
        return ToolUsageError(kUsage);
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
