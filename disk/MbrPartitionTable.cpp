// SPDX-License-Identifier: Apache-2.0
#include "disk/MbrPartitionTable.h"

#include "card/LittleEndian.h"

namespace tavrin {

namespace {

constexpr size_t kSignatureOffset = 510;
constexpr size_t kTableOffset = 446;
constexpr size_t kEntrySize = 16;
constexpr size_t kEntryCount = 4;
constexpr size_t kBootField = 0;
constexpr size_t kTypeField = 4;
constexpr size_t kStartField = 8;
constexpr size_t kSizeField = 12;

}  // namespace

bool HasMbrSignature(const uint8_t* sector0, size_t size) {
    return sector0 != nullptr && size >= kSignatureOffset + 2 && sector0[kSignatureOffset] == 0x55 &&
           sector0[kSignatureOffset + 1] == 0xAA;
}

std::optional<uint32_t> FirstMbrVolumeStart(const uint8_t* sector0, size_t size, uint64_t driveSectors) {
    if (!HasMbrSignature(sector0, size)) return std::nullopt;
    std::optional<uint32_t> first;
    for (size_t i = 0; i < kEntryCount; ++i) {
        const uint8_t* entry = sector0 + kTableOffset + i * kEntrySize;
        if (entry[kBootField] != 0x00 && entry[kBootField] != 0x80) return std::nullopt;
        if (entry[kTypeField] == 0) continue;
        const uint64_t start = ReadLe32(entry + kStartField);
        if (start + ReadLe32(entry + kSizeField) > driveSectors) return std::nullopt;
        if (!first) first = static_cast<uint32_t>(start);
    }
    return first;
}

}  // namespace tavrin
