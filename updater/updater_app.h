#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "platform/ui/win_app.h"

// The application object of the updater: its folders, the silent flag, and the main dialog run modally.
class CUpdaterApp : public CWinApp {
public:
    // The command line as the program received it (program name first).
    explicit CUpdaterApp(const QStringList& arguments);

    BOOL InitInstance() override;
    int ExitInstance() override;
    // Fills the folder and file members. 0.
    int InitPaths();

    int m_bSilent = 0;
    QString m_strAppDir;   // the installation folder, ending in '/'
    QString m_strTempDir;  // the private download folder, ending in '/' ("" when none could be made)
    QString m_strIniPath;  // where the update description is downloaded to
    QString m_strZipPath;  // where the package is downloaded to

private:
    QStringList m_arguments;
    std::unique_ptr<QTemporaryDir> m_tempDir;  // removed with everything in it when the updater ends
};
