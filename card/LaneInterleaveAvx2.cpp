// SPDX-License-Identifier: Apache-2.0
// The interleave kernels built for AVX2: twice the matrices per instruction. Only reached
// when the CPU reports AVX2 (see LaneInterleave.cpp).
#if defined(__x86_64__)

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include <immintrin.h>

#include "card/LaneTranspose.h"

namespace tavrin {

namespace {

#include "card/LaneAvx2Ops.inc"

}  // namespace

void InterleaveFourLanesAvx2(const uint8_t* const lanes[4], uint8_t* chunk) { FourLanes<Avx2Ops>(lanes, chunk); }
void InterleaveEightLanesAvx2(const uint8_t* const lanes[8], uint8_t* chunk) { EightLanes<Avx2Ops>(lanes, chunk); }

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

}  // namespace tavrin

#endif
