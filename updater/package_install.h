#pragma once

#include <QString>

// Unpacks every entry of the package at zipPath below folder, keeping the entries' folder paths. Each
// entry first comes out whole as a temporary file beside its target; the targets are replaced only after
// every entry passed. 1 done; 0 when the package cannot be opened or an entry is refused, fails to
// unpack or fails its CRC check (nothing is then changed below folder).
int InstallPackage(const QString& zipPath, const QString& folder);
