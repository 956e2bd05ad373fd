#pragma once

#include <QString>
#include <cstdint>

#include "updater/unzip_staging.h"

// How much a package may unpack: its entries' declared sizes together at most maxUnpackedBytes, and
// never more than the installation folder's free space less freeSpaceMargin.
struct PackageLimits {
    uint64_t maxUnpackedBytes = uint64_t(1) << 30;  // far above any real package
    uint64_t freeSpaceMargin = uint64_t(64) << 20;
};

// Unpacks every entry of the package at zipPath below folder, keeping the entries' folder paths. Each
// entry first comes out whole as a temporary file beside its target; the targets are replaced, all or
// nothing, only after every entry passed. 1 done; 0 when the package cannot be opened, would unpack past
// the limits, or an entry is refused, fails to unpack or fails its CRC check (nothing is then changed
// below folder). rename: see UnzipStaging.
[[nodiscard]] int InstallPackage(const QString& zipPath, const QString& folder,
                                 const PackageLimits& limits = {},
                                 UnzipStaging::RenameFunction rename = nullptr);
