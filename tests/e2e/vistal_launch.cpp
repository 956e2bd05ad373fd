#include "tests/e2e/vistal_launch.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcessEnvironment>
#include <QRect>
#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "tests/bounded_wait.h"
#include "tests/e2e/x_program.h"
#include "tools/dvrsim/video_source.h"

int MakeVistalFolders(const QString& root, VistalFolders* folders) {
    folders->home = root + QStringLiteral("/home");
    folders->drive = root + QStringLiteral("/c");
    folders->runtime = root + QStringLiteral("/run");
    for (const QString& folder : {folders->home, folders->drive, folders->runtime}) {
        if (!QDir().mkpath(folder))
            return -1;
    }
    if (!QFile::setPermissions(folders->runtime,
                               QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner))
        return -1;
    qputenv("XDG_RUNTIME_DIR", folders->runtime.toLocal8Bit());
    return 0;
}

std::unique_ptr<dvrsim::DvrSim> StartVistalSim(const char* firstChannel, int32_t recordingDay,
                                               uint16_t port) {
    dvrsim::SimConfig config;
    config.port = port;
    config.users.push_back(dvrsim::SimUser{"admin", "admin", 0x3F});
    for (int i = 0; i < 4; ++i)
        config.channels.push_back(dvrsim::SimChannel{std::string(firstChannel) + std::to_string(i + 1),
                                                     dvrsim::kCodecMpeg4, 352, 288});
    config.framesPerSecond = 10;
    if (recordingDay != 0)
        config.recordingDays.push_back(recordingDay);
    auto sim = std::make_unique<dvrsim::DvrSim>(config);
    return sim->Start() == 0 ? std::move(sim) : nullptr;
}

ProgramFolderPlan OneDvrPlan(const char* name, uint16_t port) {
    ProgramFolderPlan plan;
    plan.loginUser = "admin";
    plan.screenNum = 4;
    plan.dvrs = {{name, "127.0.0.1", port, "admin", "admin"}};
    plan.views = {{0, 0, 0}};
    return plan;
}

QString E2EPicturePath(const QString& name) {
    QString folder = qEnvironmentVariable("VISTAL_PICTURES_DIR");
    if (folder.isEmpty())
        folder = QStringLiteral(VISTAL_E2E_PICTURES_DIR);
    QDir().mkpath(folder);
    return folder + u'/' + name;
}

std::unique_ptr<QProcess> StartVistal(const VistalFolders& folders, const QString& display,
                                      qint64 fileSizeLimit) {
    QProcessEnvironment settings;
    settings.insert("VISTAL_HOME", folders.home);
    settings.insert("VISTAL_DRIVE_C", folders.drive);
    settings.insert("XDG_RUNTIME_DIR", folders.runtime);
    if (fileSizeLimit > 0)
        // prlimit sets the limit and then becomes Vistal (the same process).
        return StartOnDisplay(
            QStringLiteral("prlimit"), display, settings,
            {QStringLiteral("--fsize=%1").arg(fileSizeLimit), QStringLiteral(VISTAL_BINARY)});
    return StartOnDisplay(QStringLiteral(VISTAL_BINARY), display, settings);
}

unsigned long WaitForVistalWindow(XClient& x, QProcess* process, int timeoutMs) {
    unsigned long window = 0;
    harness::WaitUntil(
        [&] {
            window = x.FindWindowOfProcess(static_cast<pid_t>(process->processId()));
            return window != 0 || process->waitForFinished(0) || process->state() == QProcess::NotRunning;
        },
        timeoutMs, [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    return window;
}

unsigned long WaitForFullScreenWindow(XClient& x, pid_t pid, QSize screen, int timeoutMs) {
    const QRect screenRect(QPoint(0, 0), screen);
    unsigned long window = 0;
    return harness::WaitUntil(
               [&] {
                   window = x.FindWindowOfProcess(pid);
                   return x.WindowRect(window) == screenRect;
               },
               timeoutMs)
               ? window
               : 0;
}

std::vector<unsigned long> SmallWindowsOf(XClient& x, pid_t pid, unsigned long except, QSize screen) {
    std::vector<unsigned long> small;
    for (unsigned long w : x.WindowsOfProcess(pid)) {
        QRect r = x.WindowRect(w);
        // A tip shows where the pointer rests on a control for a while, and goes on its own.
        if (w != except && r.width() < screen.width() / 2 && r.height() < screen.height() / 2 &&
            !x.IsToolTip(w))
            small.push_back(w);
    }
    return small;
}

unsigned long FindSmallWindow(XClient& x, pid_t pid, unsigned long except, QSize screen) {
    const std::vector<unsigned long> small = SmallWindowsOf(x, pid, except, screen);
    return small.empty() ? 0 : small.back();
}

unsigned long WaitForUnlockDialog(XClient& x, pid_t pid, unsigned long except, QSize screen) {
    unsigned long unlock = 0;
    const bool shown = harness::WaitUntil(
        [&] {
            unlock = FindSmallWindow(x, pid, except, screen);
            return unlock != 0 && x.WindowRect(unlock).height() > 100;
        },
        10000);
    return shown ? unlock : 0;
}

unsigned long NewWindowOf(XClient& x, pid_t pid, const std::vector<unsigned long>& before) {
    unsigned long found = 0;
    for (unsigned long w : x.WindowsOfProcess(pid)) {
        if (std::find(before.begin(), before.end(), w) == before.end() && !x.IsToolTip(w))
            found = w;
    }
    return found;
}

unsigned long ClickForNewWindow(XClient& x, pid_t pid, QPoint point, int timeoutMs) {
    const std::vector<unsigned long> before = x.WindowsOfProcess(pid);
    x.Click(point);
    unsigned long shown = 0;
    harness::WaitUntil([&] { return (shown = NewWindowOf(x, pid, before)) != 0; }, timeoutMs);
    return shown;
}

unsigned long OpenMenuForKeys(XClient& x, pid_t pid, const std::function<void()>& open, int timeoutMs) {
    const std::vector<unsigned long> before = x.WindowsOfProcess(pid);
    open();
    unsigned long menu = 0;
    if (!harness::WaitUntil([&] { return (menu = NewWindowOf(x, pid, before)) != 0; }, timeoutMs))
        return 0;
    // The menu takes the keyboard with a grab once it is mapped; until then keys would go to the focus.
    return x.WaitForKeyboardGrab(timeoutMs) ? menu : 0;
}

bool AnswerWithEnter(XClient& x, pid_t pid, unsigned long except, QSize screen) {
    unsigned long dialog = 0;
    if (!harness::WaitUntil([&] { return (dialog = FindSmallWindow(x, pid, except, screen)) != 0; }, 10000))
        return false;
    const QRect r = x.WindowRect(dialog);
    x.MoveMouse(r.center().x(), r.center().y());
    // A modal window takes the keyboard once shown; Enter is sent when it has.
    if (!x.WaitForKeyboard(dialog))
        return false;
    x.Key("Return");
    return harness::WaitUntil([&] { return !x.IsShown(dialog); }, 10000);
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString FindFileUnder(const QString& folder, const char* pattern) {
    QDirIterator it(folder, {QString::fromLatin1(pattern)}, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

QRect PlacedControl(const std::vector<ControlPlacement>& placements, const QRect& window, UINT id) {
    for (const ControlPlacement& p : placements) {
        if (p.id == id && p.visible)
            return QRect(window.x() + p.rect.left, window.y() + p.rect.top, p.rect.right - p.rect.left,
                         p.rect.bottom - p.rect.top);
    }
    return QRect();
}

// Every file under folder (and its subfolders) that matches pattern.
QStringList FilesUnder(const QString& folder, const char* pattern) {
    QStringList files;
    QDirIterator it(folder, {QString::fromLatin1(pattern)}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// True when the AVI file is whole: a RIFF 'AVI ' form whose size is the file's, whose top-level chunks
// end exactly at the file's end, with the index chunk (idx1) among them. A file left open by a killed
// recorder has neither.
bool AviIndexed(const QString& path) {
    const QByteArray bytes = ReadAll(path);
    auto le32 = [&](qsizetype at) {
        return static_cast<quint32>(static_cast<uchar>(bytes[at])) |
               static_cast<quint32>(static_cast<uchar>(bytes[at + 1])) << 8 |
               static_cast<quint32>(static_cast<uchar>(bytes[at + 2])) << 16 |
               static_cast<quint32>(static_cast<uchar>(bytes[at + 3])) << 24;
    };
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "AVI " ||
        le32(4) + 8 != static_cast<quint32>(bytes.size()))
        return false;
    bool index = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const quint32 length = le32(at + 4);
        index = index || bytes.mid(at, 4) == "idx1";
        at += 8 + static_cast<qsizetype>(length) + (length & 1);
    }
    return index && at == bytes.size();
}

// Chooses the item at position (counting the items, not the separators) of the menu that open shows, with
// the keyboard once the menu holds it; returns once the menu has gone. The menu's place on the screen
// (empty when it did not show).
QRect ChooseMenuItem(XClient& x, pid_t pid, const std::function<void()>& open, int position) {
    const unsigned long menu = OpenMenuForKeys(x, pid, open);
    EXPECT_NE(menu, 0u);
    if (menu == 0)
        return QRect();
    const QRect shown = x.WindowRect(menu);
    for (int i = 0; i < position; ++i)
        x.Key("Down");
    x.Key("Return");
    EXPECT_TRUE(harness::WaitUntil([&] { return !x.IsShown(menu); }, 10000));
    return shown;
}

// The screen menu of the screen under point, opened with the right button, and its item at position
// chosen.
void ChooseScreenMenuItem(XClient& x, pid_t pid, QPoint point, int position) {
    ChooseMenuItem(
        x, pid,
        [&] {
            x.MoveMouse(point.x(), point.y());
            x.Button(3, true);
            x.Button(3, false);
        },
        position);
}
