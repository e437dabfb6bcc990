// SPDX-License-Identifier: Apache-2.0
#include "ops/ChunkSource.h"

#include <algorithm>
#include <cstring>

#include "ops/LoadedFiles.h"

namespace tavrin {

ChunkSource::ChunkSource(LoadedFiles& files, int parallelMode)
    : files_(files),
      encoding_(EncodingFor(parallelMode, files.Mask())),
      laneReadBytes_(kReadAheadChunks * LaneBytesPerChunk(encoding_)),
      readAhead_(encoding_ == Encoding::Parallel ? 0 : static_cast<size_t>(LaneCount(encoding_)) * laneReadBytes_),
      laneOffset_(laneReadBytes_) {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!files.Used(slot)) continue;
        remaining_[slot] = files.Info(slot).dataLength;
        readAhead_.PrepareForWriting(LaneOffset(slot), laneReadBytes_);
    }
}

bool ChunkSource::Next(uint8_t* chunk) {
    if (encoding_ == Encoding::Parallel) {
        // The parallel image is File#1 as it stands: read straight into the chunk.
        return Fill(0, chunk, kChunkSize);
    }
    if (laneOffset_ == laneReadBytes_ && !RefillLanes()) return false;
    const uint8_t* lanes[8] = {};
    for (int slot = 0; slot < LaneCount(encoding_); ++slot) {
        lanes[slot] = readAhead_.data() + LaneOffset(slot) + laneOffset_;
    }
    EncodeChunk(encoding_, lanes, chunk);
    laneOffset_ += LaneBytesPerChunk(encoding_);
    return true;
}

// The area of a slot not in use stays zero from the start.
bool ChunkSource::RefillLanes() {
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (files_.Used(slot) && !Fill(slot, readAhead_.data() + LaneOffset(slot), laneReadBytes_)) return false;
    }
    laneOffset_ = 0;
    return true;
}

bool ChunkSource::Fill(int slot, uint8_t* into, uint32_t count) {
    const auto want = static_cast<uint32_t>(std::min<uint64_t>(remaining_[slot], count));
    uint32_t got = 0;
    while (got < want) {
        long n = files_.File(slot).Read(into + got, want - got);
        if (n <= 0) {
            // Zeros stand only for what lies past the loaded length, never for unread data.
            failedSlot_ = slot;
            return false;
        }
        got += static_cast<uint32_t>(n);
    }
    remaining_[slot] -= want;
    std::memset(into + want, 0, count - want);
    if (files_.Info(slot).bitOrder) ReverseBitsInPlace(into, want);
    return true;
}

}  // namespace tavrin
