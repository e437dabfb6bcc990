// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrin {

// A card is read and written in 512-byte sectors; a data area in chunks of 32 of them.
constexpr uint32_t kSectorSize = 512;
constexpr uint32_t kChunkSize = 16384;
constexpr uint32_t kChunkSectors = kChunkSize / kSectorSize;
// A full erase writes zeros in units of 512 KiB, and a device moves what it must realign in
// pieces of the same size, so that an erase unit is never split.
constexpr uint32_t kEraseUnitBytes = 512 * 1024;

using SectorBytes = std::array<uint8_t, kSectorSize>;

}  // namespace tavrin
