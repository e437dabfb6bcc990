// SPDX-License-Identifier: Apache-2.0
// The interleave kernels built for AVX2: eight lanes as twice the matrices per instruction,
// four lanes by nibble lookups. Only reached when the CPU reports AVX2 (see LaneInterleave.cpp).
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

// Image byte 4l + m takes bits 2m and 2m + 1 of byte l of each lane n, as bits 4 + n and n. A
// nibble of a lane byte gives two such bit pairs, so each image byte is four table lookups
// (one per lane) of a nibble: a third of the work of the bit-matrix transposes.
__m256i PairTable(int n, int firstBit) {
    alignas(32) uint8_t table[32];
    for (int nibble = 0; nibble < 16; ++nibble) {
        const int low = (nibble >> firstBit) & 1;
        const int high = (nibble >> (firstBit + 1)) & 1;
        table[nibble] = table[16 + nibble] = static_cast<uint8_t>(low << (4 + n) | high << n);
    }
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(table));
}

void FourLanesByNibbles(const uint8_t* const lanes[4], uint8_t* chunk) {
    __m256i bits01[4], bits23[4];
    for (int n = 0; n < 4; ++n) {
        bits01[n] = PairTable(n, 0);
        bits23[n] = PairTable(n, 2);
    }
    const __m256i nibbleMask = _mm256_set1_epi8(0x0F);
    for (uint32_t l = 0; l < kChunkSize / 4; l += 32) {
        __m256i planes[4] = {};  // image bytes 4l + m, m = 0..3, of 32 lane positions
        for (int n = 0; n < 4; ++n) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lanes[n] + l));
            const __m256i low = _mm256_and_si256(v, nibbleMask);
            const __m256i high = _mm256_and_si256(_mm256_srli_epi16(v, 4), nibbleMask);
            planes[0] = _mm256_or_si256(planes[0], _mm256_shuffle_epi8(bits01[n], low));
            planes[1] = _mm256_or_si256(planes[1], _mm256_shuffle_epi8(bits23[n], low));
            planes[2] = _mm256_or_si256(planes[2], _mm256_shuffle_epi8(bits01[n], high));
            planes[3] = _mm256_or_si256(planes[3], _mm256_shuffle_epi8(bits23[n], high));
        }
        // Interleaved within each 16-byte half: the low halves hold positions 0-15, the high
        // ones 16-31, 64 image bytes further on.
        const __m256i m01Lo = _mm256_unpacklo_epi8(planes[0], planes[1]);
        const __m256i m01Hi = _mm256_unpackhi_epi8(planes[0], planes[1]);
        const __m256i m23Lo = _mm256_unpacklo_epi8(planes[2], planes[3]);
        const __m256i m23Hi = _mm256_unpackhi_epi8(planes[2], planes[3]);
        uint8_t* out = chunk + 4 * l;
        Avx2Ops::Store(out, 64, _mm256_unpacklo_epi16(m01Lo, m23Lo));
        Avx2Ops::Store(out + 16, 64, _mm256_unpackhi_epi16(m01Lo, m23Lo));
        Avx2Ops::Store(out + 32, 64, _mm256_unpacklo_epi16(m01Hi, m23Hi));
        Avx2Ops::Store(out + 48, 64, _mm256_unpackhi_epi16(m01Hi, m23Hi));
    }
}

}  // namespace

void InterleaveFourLanesAvx2(const uint8_t* const lanes[4], uint8_t* chunk) { FourLanesByNibbles(lanes, chunk); }
void InterleaveEightLanesAvx2(const uint8_t* const lanes[8], uint8_t* chunk) { EightLanes<Avx2Ops>(lanes, chunk); }

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

}  // namespace tavrin

#endif
