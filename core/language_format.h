#pragma once

// Language texts that are used as printf formats (the status page's CPU, memory and disk lines, the
// version lines). A language file is operator-supplied text: a format whose conversions differ from the
// English default's would read arguments that were never passed, so such a text is replaced by the default.

#include <QString>

// The largest width or precision a translated format may give; a translated text never needs more than a
// few dozen characters of padding.
constexpr int FORMAT_FIELD_MAX = 64;

// The conversions of a printf format in order, each as its length modifiers, '*' and conversion letter
// ("Used: %d%%, free: %s" -> "d s "); "%%" is no conversion. A '%' without a conversion letter after it,
// or a width or precision above FORMAT_FIELD_MAX, gives the invalid signature "!".
QString FormatConversions(const QString& format);

// The active language's text of key when its conversions equal those of englishDefault, else
// englishDefault (also when the key is missing).
QString GetLanguageFormat(const QString& key, const QString& englishDefault);

// The format filled with one integer, or with one text, or with an integer and a text, in that order. The
// format must have been checked (GetLanguageFormat) against a default with exactly those conversions.
QString FormatWithInt(const QString& format, int value);
QString FormatWithText(const QString& format, const QString& text);
QString FormatWithIntAndText(const QString& format, int value, const QString& text);
