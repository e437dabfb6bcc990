// SPDX-License-Identifier: Apache-2.0
#include "card/CardLayout.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "card/LaneInterleave.h"

namespace tavrin {

uint64_t BankDataStart(const BankTable& table, int k) {
    if (k == 0) return kFirstDataSector;
    if (k < 0 || k >= kBankCount) return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(table.bankStart[k - 1]) + table.bankLength[k - 1] + kBankGapSectors;
}

bool BankStartFits(uint64_t start) { return start >= kFirstDataSector && start <= kLastReachableSector; }

int64_t SectorOffset(uint64_t sector) { return static_cast<int64_t>(sector) * kSectorSize; }

int64_t BankSectorOffset(int bank) { return SectorOffset(static_cast<uint64_t>(bank)); }

int64_t RecordOffset(uint64_t dataStart, int slot) {
    return (static_cast<int64_t>(dataStart) - kRecordsPerBank + slot) * kSectorSize;
}

uint32_t DataSectorCount(uint32_t imageLength) { return (imageLength / kChunkSize + 1) * kChunkSectors; }

Encoding EncodingFor(int parallelMode, unsigned slotMask) {
    if (parallelMode) return Encoding::Parallel;
    return (slotMask & 0xF0u) ? Encoding::EightLane : Encoding::FourLane;
}

int LaneCount(Encoding encoding) { return encoding == Encoding::EightLane ? 8 : encoding == Encoding::FourLane ? 4 : 1; }

uint32_t LaneBytesPerChunk(Encoding encoding) {
    switch (encoding) {
    case Encoding::Parallel: return kChunkSize;
    case Encoding::FourLane: return kChunkSize / 4;
    case Encoding::EightLane: return kChunkSize / 8;
    }
    return kChunkSize;
}

SectorBytes BuildBankSector(uint32_t dataSectorCount, uint32_t dataStart, int frequency, int retry, int delay,
                            int parallelMode, unsigned slotMask) {
    return BankSector::Make(dataSectorCount, dataStart, frequency, retry, delay, parallelMode, slotMask).Build();
}

SectorBytes BuildFileRecord(const std::string& fullPath, uint32_t fileLength, const FileTime& time) {
    return FileRecord::Make(fullPath, fileLength, time).Build();
}

void EncodeChunk(Encoding encoding, const uint8_t* const lanes[8], uint8_t* chunk) {
    // A missing lane stands for an unused slot: it supplies zeros. Lanes past those the
    // encoding uses are never read, so a caller may pass a shorter array.
    static const uint8_t kZeros[kChunkSize] = {};
    const int laneCount = LaneCount(encoding);
    const uint8_t* source[8];
    for (int n = 0; n < laneCount; ++n) source[n] = lanes[n] ? lanes[n] : kZeros;
    switch (encoding) {
    case Encoding::Parallel: std::memcpy(chunk, source[0], kChunkSize); break;
    case Encoding::FourLane: InterleaveFourLanes(source, chunk); break;
    case Encoding::EightLane: InterleaveEightLanes(source, chunk); break;
    }
}

}  // namespace tavrin
