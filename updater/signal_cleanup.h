#pragma once

// Removal of the updater's private temporary folder when the program is ended by a signal (SIGTERM,
// SIGINT, SIGHUP, SIGQUIT), which would otherwise leave it and its downloads behind. The handler only
// makes async-signal-safe calls: it removes the given files and the folder, then ends the program by
// the same signal with its default action.

#include <QString>
#include <QStringList>

// Arms the handlers for folder and the files in it (at most a few; paths as long as the file system
// allows). Replaces an earlier arming. 0, or -1 when a path is too long or a handler cannot be set.
[[nodiscard]] int ArmTempFolderCleanup(const QString& folder, const QStringList& files);
// Restores the default actions and forgets the paths (the folder is then removed the ordinary way).
void DisarmTempFolderCleanup();

// While an update's commit moves files (updater/unzip_staging.h), a termination signal does not end the
// program at once: the armed handler only notes it, the commit sees it between two moves and undoes what
// it moved (or, once every new file is in, finishes), and the release then ends the program by the
// signal. Without armed handlers a signal takes its default action as always.
void HoldTerminationSignals();
// Whether a termination signal came while held.
bool TerminationPending();
// Ends the hold; a signal noted meanwhile now ends the program as it would have (the handler's cleanup
// first).
void ReleaseTerminationSignals();

// Holds the termination signals for its lifetime.
class TerminationHold {
public:
    TerminationHold() { HoldTerminationSignals(); }
    TerminationHold(const TerminationHold&) = delete;
    TerminationHold& operator=(const TerminationHold&) = delete;
    ~TerminationHold() { ReleaseTerminationSignals(); }
};
