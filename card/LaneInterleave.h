// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <vector>

namespace tavrin {

// The serial interleaves of one 16384-byte chunk: four lanes of 4096 bytes or eight lanes of
// 2048 bytes. Every pointer must be valid (a caller substitutes zeros for unused slots).
void InterleaveFourLanes(const uint8_t* const lanes[4], uint8_t* chunk);
void InterleaveEightLanes(const uint8_t* const lanes[8], uint8_t* chunk);

// Every kernel this machine can run (the table lookups, then the vector kernels by instruction
// set), so that tests hold each to the same result.
struct LaneKernels {
    const char* name;
    void (*fourLanes)(const uint8_t* const lanes[4], uint8_t* chunk);
    void (*eightLanes)(const uint8_t* const lanes[8], uint8_t* chunk);
};
std::vector<LaneKernels> AvailableLaneKernels();

}  // namespace tavrin
