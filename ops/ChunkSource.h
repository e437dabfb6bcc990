#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "card/CardLayout.h"

class LoadedFiles;

// Produces the data image of the loaded files chunk by chunk, the same for Program and Verify.
// Works in a fixed staging area whatever the file sizes.
class ChunkSource {
public:
    ChunkSource(LoadedFiles& files, int parallelMode);

    // Fills the next 16384-byte chunk. False when a file could not be read up to its loaded
    // length (a read error, or the file shrank); FailedSlot() then names it.
    bool Next(uint8_t* chunk);
    int FailedSlot() const { return failedSlot_; }

private:
    bool FillLane(int slot, uint8_t* lane, uint32_t laneBytes);

    LoadedFiles& files_;
    Encoding encoding_;
    std::array<uint64_t, 8> remaining_{};
    std::vector<uint8_t> staging_;
    int failedSlot_ = -1;
};
