#pragma once

// What every end-to-end suite does around the real Vistal: the folders of one run, a simulated DVR on
// loopback, the program started on its prepared folder with every endpoint on loopback, its main window
// found on the private X server, and the small modal windows it shows answered with Enter.

#include <sys/types.h>

#include <QByteArray>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tests/e2e/x_session.h"
#include "tools/dvrsim/dvr_sim.h"
#include "tools/homeprep/program_folder.h"
#include "ui/main_window_layout.h"

// The folders of one run under root: the program folder (VISTAL_HOME), drive C and the runtime folder
// (private to the user, as the single-instance endpoint wants it). This process's XDG_RUNTIME_DIR is set
// to the runtime folder too, so requests sent from the suite find Vistal's endpoint. 0, or -1.
struct VistalFolders {
    QString home;
    QString drive;
    QString runtime;
};
[[nodiscard]] int MakeVistalFolders(const QString& root, VistalFolders* folders);

// A simulated DVR with the user admin/admin and four MPEG-4 channels named firstChannel + "1" .. "4" at
// 10 pictures a second; with recordingDay (a local midnight) its recordings of that day; on port (0: any
// free port). Null when it cannot listen.
std::unique_ptr<dvrsim::DvrSim> StartVistalSim(const char* firstChannel, int32_t recordingDay = 0,
                                               uint16_t port = 0);

// The plan of a program folder with one DVR (user admin/admin at 127.0.0.1:port), automatic login as
// admin, four screens and the DVR's first channel on the first screen.
ProgramFolderPlan OneDvrPlan(const char* name, uint16_t port);

// Where a picture named name of the suite goes: VISTAL_PICTURES_DIR when it is set, else the build's
// pictures/e2e folder (made when missing).
QString E2EPicturePath(const QString& name);

// Starts Vistal on the folders and the X display; it ends with this process however the suite ends. With a
// file-size limit above 0 it runs under that limit (prlimit --fsize), as an operator's shell may start it.
std::unique_ptr<QProcess> StartVistal(const VistalFolders& folders, const QString& display,
                                      qint64 fileSizeLimit = 0);

// Waits for the largest window of the process; 0 when the process ended (or the time ran out) first.
unsigned long WaitForVistalWindow(XClient& x, QProcess* process, int timeoutMs);
// Waits until the largest window of the process covers the whole screen (at start it may first show
// smaller, then take its place); that window, or 0 when it did not within timeoutMs.
unsigned long WaitForFullScreenWindow(XClient& x, pid_t pid, QSize screen, int timeoutMs = 30000);

// The top-level windows of the process that are smaller than half the screen either way (notices, message
// boxes, menus), other than except and tool tips, bottom to top.
std::vector<unsigned long> SmallWindowsOf(XClient& x, pid_t pid, unsigned long except, QSize screen);
// The topmost of them, or 0.
unsigned long FindSmallWindow(XClient& x, pid_t pid, unsigned long except, QSize screen);

// The topmost shown top-level window of the process that is not one of before nor a tool tip, or 0.
unsigned long NewWindowOf(XClient& x, pid_t pid, const std::vector<unsigned long>& before);

// Waits for the unlock dialog of a locked window: the small window of the process (not the login menu
// that opened it, two lines high) that shows within 10 s; 0 when none did.
unsigned long WaitForUnlockDialog(XClient& x, pid_t pid, unsigned long except, QSize screen);

// Clicks point and waits for a window of the process that was not shown before (a drop-down list, a
// dialog); that window, or 0 when none showed within timeoutMs.
unsigned long ClickForNewWindow(XClient& x, pid_t pid, QPoint point, int timeoutMs = 10000);

// Opens a popup menu of the process with open (a click, say) and waits until the menu shows and holds the
// keyboard, so that the keys sent next choose in it; the menu, or 0 when none showed or took the keyboard
// within timeoutMs.
unsigned long OpenMenuForKeys(XClient& x, pid_t pid, const std::function<void()>& open,
                              int timeoutMs = 10000);

// The small window the program shows (within 10 s) is answered with Enter (its default button). True when
// it showed and went.
bool AnswerWithEnter(XClient& x, pid_t pid, unsigned long except, QSize screen);

// The whole file at path; empty when it does not open.
QByteArray ReadAll(const QString& path);

// The first file under folder (and its subfolders) that matches pattern, or "".
QString FindFileUnder(const QString& folder, const char* pattern);
// Every file under folder (and its subfolders) that matches pattern.
QStringList FilesUnder(const QString& folder, const char* pattern);

// True when the AVI file is whole: a RIFF 'AVI ' form whose size is the file's, whose top-level chunks
// end exactly at the file's end, with the index chunk (idx1) among them. A file left open by a killed
// recorder has neither.
bool AviIndexed(const QString& path);

// Chooses the item at position (counting the items, not the separators) of the menu that open shows, with
// the keyboard once the menu holds it; returns once the menu has gone. The menu's place on the screen
// (empty when it did not show; the failure is reported to the running test).
QRect ChooseMenuItem(XClient& x, pid_t pid, const std::function<void()>& open, int position);
// The screen menu of the screen under point, opened with the right button, and its item at position
// chosen.
void ChooseScreenMenuItem(XClient& x, pid_t pid, QPoint point, int position);

// Where control id of a window at window (root coordinates) is, from the window's placements; empty when it
// is not placed or not shown.
QRect PlacedControl(const std::vector<ControlPlacement>& placements, const QRect& window, UINT id);
