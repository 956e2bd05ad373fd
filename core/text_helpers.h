#pragma once

#include <QString>
#include <cstdint>

// Stands for a space inside text fields of the DVR protocol and of LAN discovery replies.
constexpr char SPACE_SUBSTITUTE = 0x08;

// Offset of the first occurrence of pattern in buffer, -1 when absent (or for an empty pattern).
int FindBytes(const void* pattern, int patternLength, int bufferLength, const void* buffer);

// Every SPACE_SUBSTITUTE before the terminating NUL becomes a space. Return 0.
int RestoreSpacesA(char* text);
int RestoreSpacesW(char16_t* text);
void RestoreSpaces(QString* text);

// Scales a byte count to 1 B, 2 KB, 3 MB, 4 GB, 5 TB (unit 0: not yet scaled; 6 stops). 0 for a null
// argument, else 1.
int ScaleByteUnit(uint64_t* value, int* unit);
