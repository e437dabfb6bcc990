// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <cstdint>

#include "card/CardLayout.h"
#include "disk/AlignedBuffer.h"

namespace tavrin {

class LoadedFiles;

// Produces the data image of the loaded files chunk by chunk, the same for Program and Verify.
// Works in a fixed amount of memory whatever the file sizes.
class ChunkSource {
public:
    ChunkSource(LoadedFiles& files, int parallelMode);

    // Fills the next 16384-byte chunk. False when a file could not be read up to its loaded
    // length (a read error, or the file shrank); FailedSlot() then names it.
    bool Next(uint8_t* chunk);
    int FailedSlot() const { return failedSlot_; }

private:
    bool Fill(int slot, uint8_t* into, uint32_t count);
    bool RefillLanes();
    size_t LaneOffset(int slot) const { return size_t{laneReadBytes_} * static_cast<size_t>(slot); }

    LoadedFiles& files_;
    Encoding encoding_;
    std::array<uint64_t, 8> remaining_{};
    // Serial lanes are read ahead, the lane bytes of this many chunks at a time, and handed to
    // the encoder from there: a read of each file per chunk cost more in system calls than the
    // encoding, and a larger read-ahead more in fresh memory than it saved on a small bank.
    static constexpr uint32_t kReadAheadChunks = 16;
    uint32_t laneReadBytes_;
    AlignedBuffer readAhead_;
    uint32_t laneOffset_;
    int failedSlot_ = -1;
};

}  // namespace tavrin
