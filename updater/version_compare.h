#pragma once

#include <QString>
#include <cstdint>

// Up to three decimal numbers of a version text whose parts are separated by blanks or "." (and "," when
// commaSeparates); reading stops at the first number that cannot be read (it and the rest are 0) and a
// fourth number is ignored.
void ReadVersionNumbers(const QString& text, uint32_t numbers[3], bool commaSeparates);

// Whether the offered version is above the installed one, comparing number by number (4.4.256 is above
// 4.4.255 and below 4.5.0).
bool IsVersionNewer(const QString& offered, const QString& installed);
