#pragma once
#include <cstdint>

// The serial interleaves of one 16384-byte chunk: four lanes of 4096 bytes or eight lanes of
// 2048 bytes. Every pointer must be valid (a caller substitutes zeros for unused slots).
void InterleaveFourLanes(const uint8_t* const lanes[4], uint8_t* chunk);
void InterleaveEightLanes(const uint8_t* const lanes[8], uint8_t* chunk);

// The same by table lookups, for machines without SSE2; kept callable so tests hold the two
// to the same result.
void InterleaveFourLanesByTable(const uint8_t* const lanes[4], uint8_t* chunk);
void InterleaveEightLanesByTable(const uint8_t* const lanes[8], uint8_t* chunk);

// The baseline vector kernels, which InterleaveFourLanes and InterleaveEightLanes leave for
// AVX2 where the CPU has it; callable so that tests hold every path to the same rule.
#if defined(__SSE2__)
void InterleaveFourLanesSse2(const uint8_t* const lanes[4], uint8_t* chunk);
void InterleaveEightLanesSse2(const uint8_t* const lanes[8], uint8_t* chunk);
#endif
