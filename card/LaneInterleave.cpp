// SPDX-License-Identifier: Apache-2.0
#include "card/LaneInterleave.h"

#include "card/CpuVectors.h"

#include <array>
#include <cstring>
#include <vector>

#include "card/CardSizes.h"

#if defined(__x86_64__)
#include <emmintrin.h>

#include "card/LaneTranspose.h"
#endif

namespace tavrin {

namespace {

// Four lanes: for lane 0, the four image bytes that a lane byte contributes to, packed in
// memory order into one word; lane n is the same shifted left by n.
std::array<uint32_t, 256> MakeFourLaneTable() {
    std::array<uint32_t, 256> table{};
    for (unsigned v = 0; v < 256; ++v) {
        uint8_t bytes[4] = {};
        for (int m = 0; m < 4; ++m) {
            if (v & (1u << (2 * m))) bytes[m] |= 0x10;
            if (v & (1u << (2 * m + 1))) bytes[m] |= 0x01;
        }
        std::memcpy(&table[v], bytes, sizeof bytes);
    }
    return table;
}

// Eight lanes: bit k of a lane-0 byte lands in bit 0 of image byte k; lane n shifts by n.
std::array<uint64_t, 256> MakeEightLaneTable() {
    std::array<uint64_t, 256> table{};
    for (unsigned v = 0; v < 256; ++v) {
        uint8_t bytes[8] = {};
        for (int k = 0; k < 8; ++k) bytes[k] = (v >> k) & 1u;
        std::memcpy(&table[v], bytes, sizeof bytes);
    }
    return table;
}

const std::array<uint32_t, 256> kFourLaneTable = MakeFourLaneTable();
const std::array<uint64_t, 256> kEightLaneTable = MakeEightLaneTable();

#if defined(__x86_64__)

struct Sse2Ops {
    using V = __m128i;
    static constexpr uint32_t kBytes = 16;
    static constexpr bool kRowsReversed = false;
    static V Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void Store(uint8_t* p, size_t, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
    static V And(V a, V b) { return _mm_and_si128(a, b); }
    static V Or(V a, V b) { return _mm_or_si128(a, b); }
    static V Xor(V a, V b) { return _mm_xor_si128(a, b); }
    template <int N> static V Srl16(V a) { return _mm_srli_epi16(a, N); }
    template <int N> static V Sll16(V a) { return _mm_slli_epi16(a, N); }
    template <int N> static V Srl64(V a) { return _mm_srli_epi64(a, N); }
    template <int N> static V Sll64(V a) { return _mm_slli_epi64(a, N); }
    static V Set16(uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
    static V Set64(uint64_t v) { return _mm_set1_epi64x(static_cast<long long>(v)); }
    static V UnpackLo8(V a, V b) { return _mm_unpacklo_epi8(a, b); }
    static V UnpackHi8(V a, V b) { return _mm_unpackhi_epi8(a, b); }
    static V UnpackLo16(V a, V b) { return _mm_unpacklo_epi16(a, b); }
    static V UnpackHi16(V a, V b) { return _mm_unpackhi_epi16(a, b); }
    static V UnpackLo32(V a, V b) { return _mm_unpacklo_epi32(a, b); }
    static V UnpackHi32(V a, V b) { return _mm_unpackhi_epi32(a, b); }
    static V PackUs16(V a, V b) { return _mm_packus_epi16(a, b); }
    static V Shuffle3120(V a) { return _mm_shuffle_epi32(a, _MM_SHUFFLE(3, 1, 2, 0)); }
    static V Transpose(V a) { return TransposeBits<Sse2Ops>(a); }
};

#endif

void InterleaveFourLanesByTable(const uint8_t* const lanes[4], uint8_t* chunk) {
    const uint32_t* t = kFourLaneTable.data();
    for (uint32_t l = 0; l < kChunkSize / 4; ++l) {
        uint32_t word = t[lanes[0][l]] | t[lanes[1][l]] << 1 | t[lanes[2][l]] << 2 | t[lanes[3][l]] << 3;
        std::memcpy(chunk + 4 * l, &word, sizeof word);
    }
}

void InterleaveEightLanesByTable(const uint8_t* const lanes[8], uint8_t* chunk) {
    const uint64_t* t = kEightLaneTable.data();
    for (uint32_t p = 0; p < kChunkSize / 8; ++p) {
        uint64_t word = t[lanes[0][p]] | t[lanes[1][p]] << 1 | t[lanes[2][p]] << 2 | t[lanes[3][p]] << 3 |
                        t[lanes[4][p]] << 4 | t[lanes[5][p]] << 5 | t[lanes[6][p]] << 6 | t[lanes[7][p]] << 7;
        std::memcpy(chunk + 8 * p, &word, sizeof word);
    }
}

#if defined(__x86_64__)
void InterleaveFourLanesSse2(const uint8_t* const lanes[4], uint8_t* chunk) { FourLanes<Sse2Ops>(lanes, chunk); }
void InterleaveEightLanesSse2(const uint8_t* const lanes[8], uint8_t* chunk) { EightLanes<Sse2Ops>(lanes, chunk); }
#endif

}  // namespace

std::vector<LaneKernels> AvailableLaneKernels() {
    std::vector<LaneKernels> kernels{{"table", InterleaveFourLanesByTable, InterleaveEightLanesByTable}};
#if defined(__x86_64__)
    kernels.push_back({"SSE2", InterleaveFourLanesSse2, InterleaveEightLanesSse2});
    if (AvailableVectors() >= Vectors::Avx2) kernels.push_back({"AVX2", InterleaveFourLanesAvx2, InterleaveEightLanesAvx2});
    if (AvailableVectors() >= Vectors::Avx2Gfni) kernels.push_back({"GFNI", InterleaveFourLanesGfni, InterleaveEightLanesGfni});
#endif
    return kernels;
}

void InterleaveFourLanes(const uint8_t* const lanes[4], uint8_t* chunk) {
#if defined(__x86_64__)
    switch (AvailableVectors()) {
    case Vectors::Avx2Gfni: return InterleaveFourLanesGfni(lanes, chunk);
    case Vectors::Avx2: return InterleaveFourLanesAvx2(lanes, chunk);
    default: return InterleaveFourLanesSse2(lanes, chunk);
    }
#else
    InterleaveFourLanesByTable(lanes, chunk);
#endif
}

void InterleaveEightLanes(const uint8_t* const lanes[8], uint8_t* chunk) {
#if defined(__x86_64__)
    switch (AvailableVectors()) {
    case Vectors::Avx2Gfni: return InterleaveEightLanesGfni(lanes, chunk);
    case Vectors::Avx2: return InterleaveEightLanesAvx2(lanes, chunk);
    default: return InterleaveEightLanesSse2(lanes, chunk);
    }
#else
    InterleaveEightLanesByTable(lanes, chunk);
#endif
}

}  // namespace tavrin
