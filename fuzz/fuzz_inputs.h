#pragma once

// What the targets that read files share: splitting one input into the contents of several files, writing
// them, and reporting a broken property.

#include <QFile>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A broken property: which target and which property, then abort so that the fuzzer keeps the input.
[[noreturn]] inline void FailProperty(const char* target, const char* what) {
    std::fprintf(stderr, "%s property does not hold: %s\n", target, what);
    std::abort();
}

// Writes bytes as the whole file at path (aborts when it cannot: the target cannot run).
inline void WriteInputFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Splits a fuzz input into parts: each part but the last is preceded by its length (2 bytes,
// little-endian, cut to what is left); the last part is the rest. Missing parts are empty.
inline std::vector<std::string> SplitInputParts(const uint8_t* data, size_t size, size_t count) {
    std::vector<std::string> parts;
    size_t at = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        size_t length = 0;
        if (at + 2 <= size) {
            length = data[at] | (size_t{data[at + 1]} << 8);
            at += 2;
        }
        if (length > size - at)
            length = size - at;
        parts.emplace_back(reinterpret_cast<const char*>(data + at), length);
        at += length;
    }
    parts.emplace_back(reinterpret_cast<const char*>(data + at), size - at);
    return parts;
}
