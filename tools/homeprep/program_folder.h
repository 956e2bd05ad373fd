#pragma once

// Prepares a client program folder for the demo and the end-to-end tests: system.ini in LAN mode with
// the automatic login of the local account, a tree.dat that lists DVRs (simulated ones on loopback), and
// a view.dat that puts chosen channels of them on grid screens. The files are written in the client's own
// formats by the client's own writers, so the client reads them as if an operator had left them.

#include <QString>
#include <QStringList>
#include <vector>

struct PreparedDvr {
    QString name;
    QString host;
    int port = 0;
    QString user;  // the DVR's login, stored Base64-encoded as the client stores it
    QString password;
};

struct PreparedView {
    int screen = 0;   // grid screen 0-63
    int dvr = 0;      // index into ProgramFolderPlan::dvrs, which is also the DVR's tree id
    int channel = 0;  // channel index on that DVR
};

struct ProgramFolderPlan {
    QString loginUser = QStringLiteral("admin");  // the local account, logged in automatically
    QString loginPassword;
    int language = 0;   // section of language.ini: 0 English, 1 simplified, 2 traditional Chinese
    int screenNum = 4;  // screens per page at start
    std::vector<PreparedDvr> dvrs;
    std::vector<PreparedView> views;
};

// system.ini as a first and a second start of the client leave it (created, then brought to the program's
// version), with the LAN destination, the local account, the remembered and automatic login, the
// language and the screen count of the plan. 0, or -1 when it cannot be written.
[[nodiscard]] int WritePreparedSystemIni(const QString& path, const ProgramFolderPlan& plan);
// The tree file: one top-level DVR record per entry of plan.dvrs, its id the entry's index. 0, or -1.
[[nodiscard]] int WritePreparedTree(const QString& path, const ProgramFolderPlan& plan);
// view.dat with the plan's screens; every other screen empty. 0, or -1 (also for a view whose screen or
// DVR index is out of range, or a channel shown twice).
[[nodiscard]] int WritePreparedViews(const QString& path, const ProgramFolderPlan& plan);

// Writes whichever of home/system.ini, home/data/tree.dat and home/data/view.dat is missing; files that
// exist are kept, so an operator's changes stay. *written (when given) receives the names written.
// 0, or -1 when a missing file could not be written.
[[nodiscard]] int PrepareProgramFolder(const QString& home, const ProgramFolderPlan& plan,
                                       QStringList* written = nullptr);

// Reads the options of the homeprep command into *plan and *home:
//   --home DIR  --login USER:PASSWORD  --dvr NAME,HOST,PORT[,USER:PASSWORD]  --view SCREEN=DVR:CHANNEL
//   --screens N  --language N
// 0, or -1 with *error set.
[[nodiscard]] int ParsePlanArguments(const QStringList& arguments, ProgramFolderPlan* plan, QString* home,
                                     QString* error);
