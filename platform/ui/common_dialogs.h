#pragma once

// The file, folder, colour and font dialogs. Each runs modally (or answers through the prompt hook) and
// returns IDOK or IDCANCEL.

#include <QFont>
#include <QString>

#include "platform/ui/gdi_objects.h"
#include "platform/ui/wnd.h"

constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
constexpr DWORD OFN_HIDEREADONLY = 0x4;
constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

class CFileDialog {
public:
    // filter: "Text (*.txt)|*.txt|All files (*.*)|*.*||" as the platform writes it.
    CFileDialog(BOOL bOpenFileDialog, const QString& defExt = QString(), const QString& fileName = QString(),
                DWORD flags = 0, const QString& filter = QString(), CWnd* parent = nullptr);
    int DoModal();
    QString GetPathName() const { return m_path; }
    QString GetFileName() const;
    QString GetFileExt() const;

private:
    BOOL m_bOpen;
    QString m_defExt;
    QString m_fileName;
    QString m_filter;
    CWnd* m_parent;
    QString m_path;
};

// Asks for a folder; 0 with *folder set to it, ending in a backslash when it does not end in a separator
// already; -1 when cancelled (*folder unchanged).
int BrowseForFolder(CWnd* owner, const QString& title, QString* folder);

class CColorDialog {
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    int DoModal();
    COLORREF GetColor() const { return m_colour; }

private:
    COLORREF m_colour;
    CWnd* m_parent;
};

class CFontDialog {
public:
    explicit CFontDialog(const QFont& initial = QFont(), COLORREF colour = 0, CWnd* parent = nullptr);
    int DoModal();
    QFont GetFont() const { return m_font; }
    COLORREF GetColor() const { return m_colour; }

private:
    QFont m_font;
    COLORREF m_colour;
    CWnd* m_parent;
};
