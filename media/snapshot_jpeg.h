#pragma once

// A snapshot: an I420 picture (a slot's latest-frame copy) written as a baseline JPEG at quality 75.

#include <QString>
#include <cstdint>

// Writes the width x height I420 picture (chroma planes of width / 2 x height / 2) to path, created or
// truncated. 0 when the JPEG was written; -1 otherwise (no picture or path, bad size, no memory, the file
// cannot be opened or written), and then no file is left at path.
[[nodiscard]] int SaveSnapshotJpeg(const uint8_t* picture, const QString& path, int width, int height);
