#include "platform/ui/common_dialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>

#include "platform/ui/prompt_hook.h"
#include "platform/ui/wnd_event_bridge.h"

namespace {

QWidget* WidgetOf(CWnd* wnd) {
    return wnd == nullptr ? nullptr : wnd->GetWidget();
}

// "Name|pattern|Name|pattern||" to Qt's "Name (pattern);;Name (pattern)".
QString QtFilter(const QString& filter) {
    QStringList parts = filter.split('|', Qt::SkipEmptyParts);
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        out << QString("%1 (%2)").arg(parts[i], patterns);
    }
    return out.join(";;");
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const QString& defExt, const QString& fileName, DWORD,
                         const QString& filter, CWnd* parent)
    : m_bOpen(bOpenFileDialog), m_defExt(defExt), m_fileName(fileName), m_filter(filter), m_parent(parent) {}

int CFileDialog::DoModal() {
    PromptRequest request;
    request.kind = m_bOpen ? PromptKind::FileOpen : PromptKind::FileSave;
    request.text = m_fileName;
    request.filter = m_filter;
    PromptAnswer answer;
    if (!AskPromptHook(request, &answer)) {
        WindowEventScope scope;
        QFileDialog dialog(WidgetOf(m_parent), QString(), m_fileName, QtFilter(m_filter));
        dialog.setAcceptMode(m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(m_bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        if (!m_defExt.isEmpty())
            dialog.setDefaultSuffix(m_defExt.startsWith('.') ? m_defExt.mid(1) : m_defExt);
        answer.result =
            dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? IDOK : IDCANCEL;
        if (answer.result == IDOK)
            answer.path = dialog.selectedFiles().front();
    }
    if (answer.result != IDOK)
        return IDCANCEL;
    m_path = answer.path;
    if (!m_defExt.isEmpty() && QFileInfo(m_path).suffix().isEmpty())
        m_path += (m_defExt.startsWith('.') ? QString() : QString(".")) + m_defExt;
    return IDOK;
}

QString CFileDialog::GetFileName() const {
    return QFileInfo(m_path).fileName();
}

QString CFileDialog::GetFileExt() const {
    return QFileInfo(m_path).suffix();
}

int BrowseForFolder(CWnd* owner, const QString& title, QString* folder) {
    PromptRequest request;
    request.kind = PromptKind::Folder;
    request.caption = title;
    PromptAnswer answer;
    if (!AskPromptHook(request, &answer)) {
        WindowEventScope scope;
        QString chosen = QFileDialog::getExistingDirectory(WidgetOf(owner), title);
        answer.result = chosen.isEmpty() ? IDCANCEL : IDOK;
        answer.path = chosen;
    }
    if (answer.result != IDOK || answer.path.isEmpty())
        return -1;
    // The callers append file names to the folder, so it always ends in a separator.
    *folder = answer.path;
    if (!folder->endsWith(QLatin1Char('\\')) && !folder->endsWith(QLatin1Char('/')))
        *folder += QLatin1Char('\\');
    return 0;
}

CColorDialog::CColorDialog(COLORREF initial, DWORD, CWnd* parent) : m_colour(initial), m_parent(parent) {}

int CColorDialog::DoModal() {
    PromptRequest request;
    request.kind = PromptKind::Colour;
    request.colour = m_colour;
    PromptAnswer answer;
    if (!AskPromptHook(request, &answer)) {
        WindowEventScope scope;
        QColor chosen = QColorDialog::getColor(ToQColor(m_colour), WidgetOf(m_parent));
        answer.result = chosen.isValid() ? IDOK : IDCANCEL;
        answer.colour = chosen.isValid() ? FromQColor(chosen) : m_colour;
    }
    if (answer.result != IDOK)
        return IDCANCEL;
    m_colour = answer.colour;
    return IDOK;
}

CFontDialog::CFontDialog(const QFont& initial, COLORREF colour, CWnd* parent)
    : m_font(initial), m_colour(colour), m_parent(parent) {}

int CFontDialog::DoModal() {
    PromptRequest request;
    request.kind = PromptKind::Font;
    request.font = m_font;
    request.colour = m_colour;
    PromptAnswer answer;
    if (!AskPromptHook(request, &answer)) {
        WindowEventScope scope;
        bool ok = false;
        QFont chosen = QFontDialog::getFont(&ok, m_font, WidgetOf(m_parent));
        answer.result = ok ? IDOK : IDCANCEL;
        answer.font = chosen;
        answer.colour = m_colour;
    }
    if (answer.result != IDOK)
        return IDCANCEL;
    m_font = answer.font;
    m_colour = answer.colour;
    return IDOK;
}
