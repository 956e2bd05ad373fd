#pragma once

// The client's one application object. It owns the settings that other parts read: the INI wrappers of
// system.ini and of the active language file, the program's folders, and the login and window values read
// from system.ini.

#include <QString>
#include <cstdint>

#include "core/ini_file.h"

class InstanceLock;

// Names the single-instance lock and the local socket on which a running client is asked to come forward.
inline constexpr char APP_INSTANCE_NAME[] = "{5B1E3C4A-8F2D-4E61-9A7C-3D0B2F6E9C17}";

struct PointInt16 {
    int16_t x = 0;
    int16_t y = 0;
};

class CTarvikApp {
public:
    CTarvikApp();
    virtual ~CTarvikApp();

    // Start-up: single instance, application system, Updater. FALSE after the program ran (or when start-up
    // failed); TRUE only when an earlier instance was found and raised.
    virtual int InitInstance();
    // Releases what start-up took; returns the exit code.
    virtual int ExitInstance();

    // 0, or -1 when the screen size reads as 0.
    int InitAppSystem();
    void InitSystemIni(const QString& path);
    void InitLanguageIni(const QString& path);
    void DeployLanguageFiles();

    // Reads system.ini (through m_iniSystem) into g_systemSettings and the members below.
    void LoadSystemSettings();
    // The path of the language file registered in language.ini under section `language`.
    QString ResolveLanguageFile(int language, const QString& key = QStringLiteral("File"));

    int m_bLanMode = 0;
    int m_nWanLine = 0;
    int m_bShowDevice = 0;
    QString m_strAppDir;
    CIniFile m_iniSystem;
    CIniFile m_iniLanguage;
    QString m_strDataDir;
    QString m_strIndexDir;
    QString m_strLanguageDir;
    int m_bRememberPassword = 0;
    int m_bAutoLogin = 0;
    QString m_strSystemUser;
    QString m_strSystemPassword;
    QString m_strWanUser;
    QString m_strWanPassword;
    QString m_strUserName;
    QString m_strUserPassword;
    int m_nScreenNum = 0;
    PointInt16 m_ptStart;
    PointInt16 m_ptStop;
    InstanceLock* m_hInstanceEvent = nullptr;
    // The program's exit code (ExitInstance): 1 when start-up was refused.
    int m_nExitCode = 0;
    // Start-up's last step: runs the main window modally and returns when it has ended. The program sets it
    // (the window lives above this layer); without one start-up ends after preparing the program folder.
    int (*m_pfnRunMainWindow)() = nullptr;
    uint16_t m_wBom = 0xFEFF;
};

// The one application object; other parts reach its settings through it.
extern CTarvikApp theApp;

extern int g_nScreenWidth;
extern int g_nScreenHeight;

// The text of key in the active language file, or def (empty for a null default). Returns a copy.
QString GetLanguageText(const QString& key, const QString& def = QString());

// The first language of a new system.ini from the user's locale: 2 Chinese (Taiwan, Hong Kong), 1 Chinese
// (PRC, Singapore), 0 any other.
int DefaultLanguageFromLocale();
