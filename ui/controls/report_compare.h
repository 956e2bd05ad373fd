#pragma once

// How the report list orders two cell texts when it sorts a column. The first rule that both texts
// satisfy decides: hexadecimal numbers (so plain digit strings order by value), then decimal numbers
// (an optional final '%' allowed), then dates and times, then an ordinal comparison of the UTF-16 texts
// (so upper case sorts before lower case).

#include <QString>
#include <cstdint>

// The text as an unsigned 32-bit hexadecimal number: leading blanks, a sign and a "0x" prefix allowed,
// every other character a hex digit; a value too large reads 0xFFFFFFFF. 0 when the text is not one.
[[nodiscard]] int ParseReportHex(const QString& text, uint32_t* value);
// The text as a decimal number, all of it or all but one final '%'. 0 when the text is not one.
[[nodiscard]] int ParseReportNumber(const QString& text, double* value);
// The text as a date and/or time of day, in days since 30 December 1899 with the time as the fraction
// (dates before that day count as negative days, so the values order as the moments do). Recognised: a
// date of three numbers (year first when it has four digits or exceeds 31, otherwise month/day/year) or
// of two (month/day of the current year) separated by '/', '-' or '.'; a date with an English month name
// ("5 Jan 2024", "January 5, 2024"); a time h:mm or h:mm:ss with an optional AM/PM; a date followed by a
// time; a time alone (day 0). Two-digit years 0-29 are 2000-2029, 30-99 are 1930-1999. 0 when the text
// is none of these or names a day that does not exist.
[[nodiscard]] int ParseReportDate(const QString& text, double* value);
// Negative, 0 or positive as a sorts before, with or after b.
[[nodiscard]] int CompareReportTexts(const QString& a, const QString& b);
