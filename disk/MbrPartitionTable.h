// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavrin {

// Start sector of the first used entry of the MBR partition table in a drive's sector 0;
// nothing when the sector carries no MBR (bytes 510-511 are not 55 AA), no entry is used, or
// the entries do not look like a table (a boot indicator other than 00 or 80, a used entry
// reaching past the drive's `driveSectors`): an unpartitioned FAT volume's boot text.
std::optional<uint32_t> FirstMbrVolumeStart(const uint8_t* sector0, size_t size,
                                            uint64_t driveSectors = UINT64_MAX);

// Whether a sector 0 carries the MBR boot signature 55 AA in bytes 510-511.
bool HasMbrSignature(const uint8_t* sector0, size_t size);

}  // namespace tavrin
