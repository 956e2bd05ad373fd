#pragma once

#include <QString>

// One folder or file name made from outside text (a DVR's name): path separators, the characters
// `:*?"<>|` and control characters become '_', and so do the names "." and ".."; an empty name becomes
// "_". The result never leaves the folder it is put in and can be created on every file system.
QString MakeSafePathComponent(const QString& name);
