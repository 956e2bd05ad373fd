#include "ui/controls/report_compare.h"

#include <QDate>
#include <QRegularExpression>
#include <cwchar>
#include <string>

namespace {

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

bool IsBlank(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}

// Days from 1 March of year 0 in the proleptic Gregorian calendar, shifted so that 30 December 1899 is
// day 0 (the civil-from-days algorithm run backwards).
long long DaysSinceEpoch(int year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    long long era = (year >= 0 ? year : year - 399) / 400;
    long long yoe = year - era * 400;
    long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    constexpr long long kEpoch = 693899;  // 30 December 1899 counted the same way
    return era * 146097 + doe - kEpoch;
}

int MonthOfName(const QString& word) {
    static const char* const kMonths[] = {"january",   "february", "march",    "april",
                                          "may",       "june",     "july",     "august",
                                          "september", "october",  "november", "december"};
    QString lower = word.toLower();
    for (int m = 0; m < 12; ++m) {
        QString name = QString::fromLatin1(kMonths[m]);
        if (lower == name || (lower.size() == 3 && name.startsWith(lower)))
            return m + 1;
    }
    return 0;
}

// A year as written: one or two digits mean 1930-2029.
int FullYear(const QString& digits) {
    int year = digits.toInt();
    if (digits.size() <= 2)
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

bool MakeDate(int year, int month, int day, long long* days) {
    if (year < 100 || year > 9999 || !QDate::isValid(year, month, day))
        return false;
    *days = DaysSinceEpoch(year, month, day);
    return true;
}

bool ParseDatePart(const QString& text, long long* days) {
    if (text.isEmpty()) {
        *days = 0;
        return true;
    }
    static const QRegularExpression kThree(R"(^(\d{1,4})([/.\-])(\d{1,2})\2(\d{1,4})$)");
    static const QRegularExpression kTwo(R"(^(\d{1,2})([/.\-])(\d{1,2})$)");
    static const QRegularExpression kDayMonthYear(R"(^(\d{1,2})[\s\-]+([A-Za-z]+)\.?,?[\s\-]+(\d{2,4})$)");
    static const QRegularExpression kMonthDayYear(R"(^([A-Za-z]+)\.?[\s\-]+(\d{1,2}),?[\s\-]+(\d{2,4})$)");
    QRegularExpressionMatch m = kThree.match(text);
    if (m.hasMatch()) {
        QString first = m.captured(1);
        if (first.size() == 4 || first.toInt() > 31)
            return MakeDate(FullYear(first), m.captured(3).toInt(), m.captured(4).toInt(), days);
        if (m.captured(4).size() == 3)
            return false;
        return MakeDate(FullYear(m.captured(4)), first.toInt(), m.captured(3).toInt(), days);
    }
    if ((m = kTwo.match(text)).hasMatch())
        return MakeDate(QDate::currentDate().year(), m.captured(1).toInt(), m.captured(3).toInt(), days);
    if ((m = kDayMonthYear.match(text)).hasMatch())
        return MakeDate(FullYear(m.captured(3)), MonthOfName(m.captured(2)), m.captured(1).toInt(), days);
    if ((m = kMonthDayYear.match(text)).hasMatch())
        return MakeDate(FullYear(m.captured(3)), MonthOfName(m.captured(1)), m.captured(2).toInt(), days);
    return false;
}

}  // namespace

int ParseReportHex(const QString& text, uint32_t* value) {
    // Reads as wcstoul with base 16 does: blanks, a sign, "0x", then digits up to the first non-digit.
    qsizetype i = 0;
    qsizetype n = text.size();
    while (i < n && IsBlank(text[i].unicode()))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    // "0x" counts as a prefix only when a digit follows; otherwise the reading stops at the 'x'.
    if (i + 2 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
        HexDigit(text[i + 2].unicode()) >= 0)
        i += 2;
    qsizetype digitsStart = i;
    uint64_t magnitude = 0;
    bool overflow = false;
    for (; i < n && HexDigit(text[i].unicode()) >= 0; ++i) {
        magnitude = magnitude * 16 + static_cast<uint64_t>(HexDigit(text[i].unicode()));
        if (magnitude > 0xFFFFFFFFu) {
            overflow = true;
            magnitude = 0xFFFFFFFFu;
        }
    }
    if (i == digitsStart || i != n)
        return 0;
    uint32_t result = static_cast<uint32_t>(magnitude);
    if (overflow)
        result = 0xFFFFFFFFu;
    else if (negative)
        result = static_cast<uint32_t>(0u - result);
    *value = result;
    return 1;
}

int ParseReportNumber(const QString& text, double* value) {
    if (text.isEmpty())
        return 0;
    std::wstring wide = text.toStdWString();
    wchar_t* end = nullptr;
    double number = std::wcstod(wide.c_str(), &end);
    if (end == wide.c_str())
        return 0;
    const wchar_t* stop = wide.c_str() + wide.size();
    if (end != stop && !(end + 1 == stop && *end == L'%'))
        return 0;
    *value = number;
    return 1;
}

int ParseReportDate(const QString& text, double* value) {
    static const QRegularExpression kTime(
        R"(^(?:(.*?)\s+)?(\d{1,2}):(\d{1,2})(?::(\d{1,2}))?(?:\s*([AaPp][Mm]))?$)");
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    QString datePart = trimmed;
    double fraction = 0.0;
    QRegularExpressionMatch m = kTime.match(trimmed);
    if (m.hasMatch()) {
        datePart = m.captured(1);
        int hour = m.captured(2).toInt();
        int minute = m.captured(3).toInt();
        int second = m.captured(4).isEmpty() ? 0 : m.captured(4).toInt();
        QString half = m.captured(5).toLower();
        if (!half.isEmpty()) {
            if (hour < 1 || hour > 12)
                return 0;
            hour = (hour % 12) + (half == "pm" ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59)
            return 0;
        fraction = (hour * 3600 + minute * 60 + second) / 86400.0;
    }
    long long days = 0;
    if (!ParseDatePart(datePart, &days))
        return 0;
    *value = static_cast<double>(days) + fraction;
    return 1;
}

int CompareReportTexts(const QString& a, const QString& b) {
    uint32_t hexA = 0;
    uint32_t hexB = 0;
    if (!a.isEmpty() && !b.isEmpty() && ParseReportHex(a, &hexA) && ParseReportHex(b, &hexB))
        return hexA < hexB ? -1 : hexA > hexB ? 1 : 0;
    double numA = 0;
    double numB = 0;
    if (ParseReportNumber(a, &numA) && ParseReportNumber(b, &numB))
        return numA < numB ? -1 : numA > numB ? 1 : 0;
    double dateA = 0;
    double dateB = 0;
    if (ParseReportDate(a, &dateA) && ParseReportDate(b, &dateB))
        return dateA < dateB ? -1 : dateA > dateB ? 1 : 0;
    int ordinal = a.compare(b, Qt::CaseSensitive);
    return ordinal < 0 ? -1 : ordinal > 0 ? 1 : 0;
}
