// SPDX-License-Identifier: Apache-2.0
#include "disk/MbrPartitionTable.h"

#include "card/LittleEndian.h"

namespace {

constexpr size_t kSignatureOffset = 510;
constexpr size_t kTableOffset = 446;
constexpr size_t kEntrySize = 16;
constexpr size_t kEntryCount = 4;
constexpr size_t kTypeField = 4;
constexpr size_t kStartField = 8;

}  // namespace

bool HasMbrSignature(const uint8_t* sector0, size_t size) {
    return sector0 != nullptr && size >= kSignatureOffset + 2 && sector0[kSignatureOffset] == 0x55 &&
           sector0[kSignatureOffset + 1] == 0xAA;
}

std::optional<uint32_t> FirstMbrVolumeStart(const uint8_t* sector0, size_t size) {
    if (!HasMbrSignature(sector0, size)) return std::nullopt;
    for (size_t i = 0; i < kEntryCount; ++i) {
        const uint8_t* entry = sector0 + kTableOffset + i * kEntrySize;
        if (entry[kTypeField] != 0) return ReadLe32(entry + kStartField);
    }
    return std::nullopt;
}
