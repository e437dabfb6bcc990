// SPDX-License-Identifier: Apache-2.0
// The interleave kernels for AVX2 with GFNI: the affine instruction transposes a bit matrix in
// one step. Only reached when the CPU reports both (see LaneInterleave.cpp).
#if defined(__x86_64__)

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,gfni"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2,gfni")
#endif

#include <immintrin.h>

#include "card/LaneTranspose.h"

namespace tavrin {

namespace {

#include "card/LaneAvx2Ops.inc"

// Result byte i, bit k is the parity of (matrix byte 7 - k) and (data byte i); with data byte i
// = 1 << i that is bit i of matrix byte 7 - k, so a matrix given rows last-first comes out
// transposed.
struct GfniOps : Avx2Ops {
    static constexpr bool kRowsReversed = true;
    static V Transpose(V a) { return _mm256_gf2p8affine_epi64_epi8(Set64(0x8040201008040201), a, 0); }
};

}  // namespace

void InterleaveFourLanesGfni(const uint8_t* const lanes[4], uint8_t* chunk) { FourLanes<GfniOps>(lanes, chunk); }
void InterleaveEightLanesGfni(const uint8_t* const lanes[8], uint8_t* chunk) { EightLanes<GfniOps>(lanes, chunk); }

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

}  // namespace tavrin

#endif
