#include "updater/version_compare.h"

#include <cstdio>

void ReadVersionNumbers(const QString& text, uint32_t numbers[3], bool commaSeparates) {
    QString blanks = text;
    if (commaSeparates)
        blanks.replace(QLatin1Char(','), QLatin1Char(' '));
    blanks.replace(QLatin1Char('.'), QLatin1Char(' '));
    int read[3] = {0, 0, 0};
    std::sscanf(blanks.toLatin1().constData(), "%d %d %d", &read[0], &read[1], &read[2]);
    for (int i = 0; i < 3; ++i)
        numbers[i] = static_cast<uint32_t>(read[i]);
}

bool IsVersionNewer(const QString& offered, const QString& installed) {
    uint32_t a[3];
    uint32_t b[3];
    // The offered version comes from the update description ("4.4.3"); the installed one is a file
    // version, which may be written with commas ("4, 4, 2, 0").
    ReadVersionNumbers(offered, a, false);
    ReadVersionNumbers(installed, b, true);
    for (int i = 0; i < 3; ++i) {
        if (a[i] != b[i])
            return a[i] > b[i];
    }
    return false;
}
