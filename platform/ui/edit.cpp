#include "platform/ui/edit.h"

#include <QIntValidator>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT nID) {
    QWidget* widget;
    if (style & ES_MULTILINE) {
        auto* text = new QPlainTextEdit;
        text->setReadOnly(style & ES_READONLY);
        QObject::connect(text, &QPlainTextEdit::textChanged, text, [text] {
            // Only typing counts: changes made by the program happen with the signal blocked.
            auto* self = CurrentWindow<CEdit>(text);
            if (!text->signalsBlocked() && self != nullptr)
                self->NotifyParentCommand(EN_CHANGE);
        });
        widget = text;
    } else {
        auto* line = new QLineEdit;
        Qt::Alignment align = (style & ES_CENTER)  ? Qt::AlignHCenter
                              : (style & ES_RIGHT) ? Qt::AlignRight
                                                   : Qt::AlignLeft;
        line->setAlignment(align | Qt::AlignVCenter);
        if (style & ES_PASSWORD)
            line->setEchoMode(QLineEdit::Password);
        line->setReadOnly(style & ES_READONLY);
        if (style & ES_NUMBER)
            line->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), line));
        QObject::connect(line, &QLineEdit::textEdited, line, [line] {
            if (auto* self = CurrentWindow<CEdit>(line))
                self->NotifyParentCommand(EN_CHANGE);
        });
        widget = line;
    }
    if (parent != nullptr)
        widget->setParent(parent->GetWidget());
    widget->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    return Attach(widget, parent, nID, style | WS_CHILD);
}

void CEdit::LimitText(int maxChars) {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget()))
        line->setMaxLength(maxChars <= 0 ? 32767 : maxChars);
}

void CEdit::SetReadOnly(BOOL readOnly) {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget()))
        line->setReadOnly(readOnly);
    else if (auto* text = qobject_cast<QPlainTextEdit*>(GetWidget()))
        text->setReadOnly(readOnly);
}

void CEdit::SetSel(int start, int end) {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget())) {
        if (start < 0) {
            line->deselect();
            return;
        }
        int length = line->text().size();
        if (end < 0 || end > length)
            end = length;
        line->setSelection(start, end - start);
    }
}

void CEdit::GetSel(int& start, int& end) const {
    start = end = 0;
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget())) {
        start = line->hasSelectedText() ? line->selectionStart() : line->cursorPosition();
        end = start + static_cast<int>(line->selectedText().size());
    }
}

void CEdit::ReplaceSel(const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget()))
        line->insert(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(GetWidget())) {
        QSignalBlocker block(plain);
        plain->insertPlainText(text);
    }
}

int CEdit::GetLineCount() const {
    if (auto* plain = qobject_cast<QPlainTextEdit*>(GetWidget()))
        return plain->document()->blockCount();
    return 1;
}

void CEdit::SetTextOfWidget(const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget()))
        line->setText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(GetWidget())) {
        QSignalBlocker block(plain);
        plain->setPlainText(text);
    }
}

QString CEdit::TextOfWidget() const {
    if (auto* line = qobject_cast<QLineEdit*>(GetWidget()))
        return line->text();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(GetWidget()))
        return plain->toPlainText();
    return QString();
}
