#include "core/language_format.h"

#include "core/tarvik_app.h"

namespace {

bool IsLengthModifier(QChar c) {
    return c == u'h' || c == u'l' || c == u'L' || c == u'q' || c == u'j' || c == u'z' || c == u't' ||
           c == u'I';
}

bool IsConversion(QChar c) {
    static const QString kConversions = QStringLiteral("diouxXeEfFgGaAcspnSC");
    return kConversions.contains(c);
}

}  // namespace

QString FormatConversions(const QString& format) {
    QString signature;
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (format[i] != u'%')
            continue;
        ++i;
        if (i < n && format[i] == u'%')
            continue;
        QString one;
        // Flags, width, precision and length modifiers up to the conversion letter. A width or precision
        // beyond FORMAT_FIELD_MAX would make every formatting of the text allocate that much.
        int number = 0;
        while (i < n && !IsConversion(format[i])) {
            QChar c = format[i];
            if (c.isDigit()) {
                number = number * 10 + c.digitValue();
                if (number > FORMAT_FIELD_MAX)
                    return QStringLiteral("!");
                ++i;
                continue;
            }
            number = 0;
            if (c == u'*' || IsLengthModifier(c))
                one += c;
            else if (!(c == u'-' || c == u'+' || c == u' ' || c == u'#' || c == u'.'))
                return QStringLiteral("!");
            ++i;
        }
        if (i >= n)
            return QStringLiteral("!");
        one += format[i];
        signature += one + u' ';
    }
    return signature;
}

QString GetLanguageFormat(const QString& key, const QString& englishDefault) {
    QString text = GetLanguageText(key, englishDefault);
    return FormatConversions(text) == FormatConversions(englishDefault) ? text : englishDefault;
}

QString FormatWithInt(const QString& format, int value) {
    return QString::asprintf(format.toUtf8().constData(), value);
}

QString FormatWithText(const QString& format, const QString& text) {
    return QString::asprintf(format.toUtf8().constData(), text.toUtf8().constData());
}

QString FormatWithIntAndText(const QString& format, int value, const QString& text) {
    return QString::asprintf(format.toUtf8().constData(), value, text.toUtf8().constData());
}
