#include "core/text_helpers.h"

#include <cstring>

int FindBytes(const void* pattern, int patternLength, int bufferLength, const void* buffer) {
    if (pattern == nullptr || buffer == nullptr || patternLength <= 0 || bufferLength < patternLength)
        return -1;
    const auto* p = static_cast<const unsigned char*>(pattern);
    const auto* b = static_cast<const unsigned char*>(buffer);
    const unsigned char* end = b + (bufferLength - patternLength) + 1;
    const unsigned char* at = b;
    while (at < end) {
        const void* hit = std::memchr(at, p[0], static_cast<size_t>(end - at));
        if (hit == nullptr)
            return -1;
        at = static_cast<const unsigned char*>(hit);
        if (std::memcmp(at, p, static_cast<size_t>(patternLength)) == 0)
            return static_cast<int>(at - b);
        ++at;
    }
    return -1;
}

int RestoreSpacesA(char* text) {
    for (char* c = text; c != nullptr && *c != '\0'; ++c) {
        if (*c == SPACE_SUBSTITUTE)
            *c = ' ';
    }
    return 0;
}

int RestoreSpacesW(char16_t* text) {
    for (char16_t* c = text; c != nullptr && *c != 0; ++c) {
        if (*c == static_cast<char16_t>(SPACE_SUBSTITUTE))
            *c = u' ';
    }
    return 0;
}

void RestoreSpaces(QString* text) {
    if (text != nullptr)
        text->replace(QChar(SPACE_SUBSTITUTE), QLatin1Char(' '));
}

int ScaleByteUnit(uint64_t* value, int* unit) {
    if (value == nullptr || unit == nullptr)
        return 0;
    while (*value >= 1024) {
        if (*unit == 0) {
            *unit = 1;
        } else if (*unit >= 1 && *unit <= 5) {
            *value >>= 10;
            ++*unit;
        } else {
            break;
        }
    }
    return 1;
}
