#include "disk/MbrPartitionTable.h"

namespace {

constexpr size_t kSignatureOffset = 510;
constexpr size_t kTableOffset = 446;
constexpr size_t kEntrySize = 16;
constexpr size_t kEntryCount = 4;
constexpr size_t kTypeField = 4;
constexpr size_t kStartField = 8;

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

}  // namespace

bool HasMbrSignature(const uint8_t* sector0, size_t size) {
    return sector0 != nullptr && size >= kSignatureOffset + 2 && sector0[kSignatureOffset] == 0x55 &&
           sector0[kSignatureOffset + 1] == 0xAA;
}

std::optional<uint32_t> FirstMbrVolumeStart(const uint8_t* sector0, size_t size) {
    if (!HasMbrSignature(sector0, size)) return std::nullopt;
    for (size_t i = 0; i < kEntryCount; ++i) {
        const uint8_t* entry = sector0 + kTableOffset + i * kEntrySize;
        if (entry[kTypeField] != 0) return LittleEndian32(entry + kStartField);
    }
    return std::nullopt;
}
