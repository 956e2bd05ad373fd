#include "tests/platform/ui/text_fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// Pixels a push button keeps free around its text: its frame and a little air on each side.
constexpr int kPushButtonPadding = 6;

QString Describe(const QWidget* control, const QString& text, const QString& why) {
    return QStringLiteral("%1 '%2': %3")
        .arg(QString::fromLatin1(control->metaObject()->className()), text, why);
}

int TextWidth(const QWidget* control, const QString& text) {
    QString plain = text;
    plain.remove(QLatin1Char('&'));  // mnemonic marks are not drawn
    return control->fontMetrics().horizontalAdvance(plain);
}

QString LabelFault(const QLabel* label) {
    const QString text = label->text();
    if (text.isEmpty() || !label->pixmap().isNull())
        return {};
    if (label->wordWrap()) {
        int needed = label->heightForWidth(label->width());
        if (needed > label->height())
            return Describe(label, text,
                            QStringLiteral("needs %1 px of height, has %2").arg(needed).arg(label->height()));
        return {};
    }
    int needed = TextWidth(label, text);
    if (needed > label->width())
        return Describe(label, text,
                        QStringLiteral("needs %1 px of width, has %2").arg(needed).arg(label->width()));
    return {};
}

QString ButtonFault(const QAbstractButton* button) {
    const QString text = button->text();
    if (text.isEmpty())
        return {};
    int needed = TextWidth(button, text);
    if (qobject_cast<const QCheckBox*>(button) != nullptr ||
        qobject_cast<const QRadioButton*>(button) != nullptr) {
        // The indicator and its gap come before the text.
        needed += button->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, button) +
                  button->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, button);
    } else {
        needed += kPushButtonPadding;
    }
    if (needed > button->width())
        return Describe(button, text,
                        QStringLiteral("needs %1 px of width, has %2").arg(needed).arg(button->width()));
    int height = button->fontMetrics().height();
    if (height > button->height())
        return Describe(button, text,
                        QStringLiteral("needs %1 px of height, has %2").arg(height).arg(button->height()));
    return {};
}

}  // namespace

QStringList TextFitFaults(QWidget* window, bool onlyVisible) {
    QStringList faults;
    // Every descendant: the controls of child dialogs (a tab host's pages) are checked as well.
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (onlyVisible && !child->isVisibleTo(window))
            continue;
        QString fault;
        if (auto* label = qobject_cast<QLabel*>(child))
            fault = LabelFault(label);
        else if (auto* button = qobject_cast<QAbstractButton*>(child))
            fault = ButtonFault(button);
        if (!fault.isEmpty())
            faults << fault;
    }
    return faults;
}
