#include "ops/ChunkSource.h"

#include <algorithm>
#include <cstring>

#include "ops/LoadedFiles.h"

namespace {

constexpr uint32_t kStagingAreaBytes = 4096;

}  // namespace

ChunkSource::ChunkSource(LoadedFiles& files, int parallelMode)
    : files_(files), encoding_(EncodingFor(parallelMode, files.Mask())) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (files.Used(slot)) remaining_[slot] = files.Info(slot).dataLength;
    }
    if (encoding_ != Encoding::Parallel) staging_.assign(kSlotCount * kStagingAreaBytes, 0);
}

bool ChunkSource::Next(uint8_t* chunk) {
    if (encoding_ == Encoding::Parallel) {
        // The parallel image is File#1 as it stands: read straight into the chunk.
        return FillLane(0, chunk, kChunkSize);
    }
    const uint32_t laneBytes = LaneBytesPerChunk(encoding_);
    const uint8_t* lanes[8];
    for (int slot = 0; slot < kSlotCount; ++slot) {
        uint8_t* lane = staging_.data() + slot * kStagingAreaBytes;
        lanes[slot] = lane;
        if (files_.Used(slot) && !FillLane(slot, lane, laneBytes)) return false;
    }
    EncodeChunk(encoding_, lanes, chunk);
    return true;
}

bool ChunkSource::FillLane(int slot, uint8_t* lane, uint32_t laneBytes) {
    const auto want = static_cast<uint32_t>(std::min<uint64_t>(remaining_[slot], laneBytes));
    uint32_t got = 0;
    while (got < want) {
        long n = files_.File(slot).Read(lane + got, want - got);
        if (n <= 0) {
            // Zeros stand only for what lies past the loaded length, never for unread data.
            failedSlot_ = slot;
            return false;
        }
        got += static_cast<uint32_t>(n);
    }
    remaining_[slot] -= want;
    std::memset(lane + want, 0, laneBytes - want);
    if (files_.Info(slot).bitOrder) ReverseBitsInPlace(lane, want);
    return true;
}
