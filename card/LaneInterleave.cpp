#include "card/LaneInterleave.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr uint32_t kChunkBytes = 16384;

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

#if defined(__SSE2__)

// Both eight-lane and four-lane images are 8x8 bit transposes: eight source bytes, one per
// row, give eight image bytes, one per bit position. The work is done two matrices at a time.

// In each 64-bit half, bit 8r + c moves to bit 8c + r.
inline __m128i TransposeBits(__m128i x) {
    __m128i t = _mm_and_si128(_mm_xor_si128(x, _mm_srli_epi64(x, 7)), _mm_set1_epi64x(0x00AA00AA00AA00AA));
    x = _mm_xor_si128(x, _mm_xor_si128(t, _mm_slli_epi64(t, 7)));
    t = _mm_and_si128(_mm_xor_si128(x, _mm_srli_epi64(x, 14)), _mm_set1_epi64x(0x0000CCCC0000CCCC));
    x = _mm_xor_si128(x, _mm_xor_si128(t, _mm_slli_epi64(t, 14)));
    t = _mm_and_si128(_mm_xor_si128(x, _mm_srli_epi64(x, 28)), _mm_set1_epi64x(0x00000000F0F0F0F0));
    return _mm_xor_si128(x, _mm_xor_si128(t, _mm_slli_epi64(t, 28)));
}

// Rows 0..7 hold eight matrices each, one byte per matrix (ab = rows 0 and 1 interleaved by
// bytes, and so on). Gives the eight matrices in row order, two per vector.
inline void GatherMatrices(__m128i ab, __m128i cd, __m128i ef, __m128i gh, __m128i out[4]) {
    const __m128i abcdLo = _mm_unpacklo_epi16(ab, cd);
    const __m128i abcdHi = _mm_unpackhi_epi16(ab, cd);
    const __m128i efghLo = _mm_unpacklo_epi16(ef, gh);
    const __m128i efghHi = _mm_unpackhi_epi16(ef, gh);
    out[0] = _mm_unpacklo_epi32(abcdLo, efghLo);
    out[1] = _mm_unpackhi_epi32(abcdLo, efghLo);
    out[2] = _mm_unpacklo_epi32(abcdHi, efghHi);
    out[3] = _mm_unpackhi_epi32(abcdHi, efghHi);
}

// Sixteen matrices from eight row vectors; stores their transposes, after `fix`, 128 bytes on.
template <typename Fix>
inline void TransposeSixteen(const __m128i rows[8], uint8_t* out, Fix fix) {
    __m128i m[4];
    for (int half = 0; half < 2; ++half) {
        auto pair = [&](int r) {
            return half ? _mm_unpackhi_epi8(rows[r], rows[r + 1]) : _mm_unpacklo_epi8(rows[r], rows[r + 1]);
        };
        GatherMatrices(pair(0), pair(2), pair(4), pair(6), m);
        for (int i = 0; i < 4; ++i) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 64 * half + 16 * i), fix(TransposeBits(m[i])));
        }
    }
}

// Eight lanes: the row of matrix p is lane n's byte p.
void InterleaveEightLanesSse2(const uint8_t* const lanes[8], uint8_t* chunk) {
    for (uint32_t p = 0; p < kChunkBytes / 8; p += 16) {
        __m128i rows[8];
        for (int n = 0; n < 8; ++n) rows[n] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes[n] + p));
        TransposeSixteen(rows, chunk + 8 * p, [](__m128i x) { return x; });
    }
}

// Four lanes: one matrix covers lane bytes l (even) and l + 1. Rows 0..3 carry the odd bits
// of lanes 0..3, rows 4..7 the even bits, byte l in the even columns and byte l + 1 in the odd
// ones, so that the transpose yields image bytes of l and l + 1 alternately; `fix` puts each
// group of four together.
void InterleaveFourLanesSse2(const uint8_t* const lanes[4], uint8_t* chunk) {
    const __m128i lowBytes = _mm_set1_epi16(0x00FF);
    const __m128i evenBits = _mm_set1_epi8(0x55);
    const __m128i oddBits = _mm_set1_epi8(static_cast<char>(0xAA));
    auto fix = [lowBytes](__m128i x) {
        const __m128i grouped = _mm_packus_epi16(_mm_and_si128(x, lowBytes), _mm_srli_epi16(x, 8));
        return _mm_shuffle_epi32(grouped, _MM_SHUFFLE(3, 1, 2, 0));
    };
    for (uint32_t l = 0; l < kChunkBytes / 4; l += 32) {
        __m128i rows[8];
        for (int n = 0; n < 4; ++n) {
            const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes[n] + l));
            const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lanes[n] + l + 16));
            const __m128i even = _mm_packus_epi16(_mm_and_si128(lo, lowBytes), _mm_and_si128(hi, lowBytes));
            const __m128i odd = _mm_packus_epi16(_mm_srli_epi16(lo, 8), _mm_srli_epi16(hi, 8));
            rows[n] = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(even, 1), evenBits), _mm_and_si128(odd, oddBits));
            rows[4 + n] = _mm_or_si128(_mm_and_si128(even, evenBits), _mm_and_si128(_mm_slli_epi16(odd, 1), oddBits));
        }
        TransposeSixteen(rows, chunk + 4 * l, fix);
    }
}

#endif

}  // namespace

void InterleaveFourLanesByTable(const uint8_t* const lanes[4], uint8_t* chunk) {
    const uint32_t* t = kFourLaneTable.data();
    for (uint32_t l = 0; l < kChunkBytes / 4; ++l) {
        uint32_t word = t[lanes[0][l]] | t[lanes[1][l]] << 1 | t[lanes[2][l]] << 2 | t[lanes[3][l]] << 3;
        std::memcpy(chunk + 4 * l, &word, sizeof word);
    }
}

void InterleaveEightLanesByTable(const uint8_t* const lanes[8], uint8_t* chunk) {
    const uint64_t* t = kEightLaneTable.data();
    for (uint32_t p = 0; p < kChunkBytes / 8; ++p) {
        uint64_t word = t[lanes[0][p]] | t[lanes[1][p]] << 1 | t[lanes[2][p]] << 2 | t[lanes[3][p]] << 3 |
                        t[lanes[4][p]] << 4 | t[lanes[5][p]] << 5 | t[lanes[6][p]] << 6 | t[lanes[7][p]] << 7;
        std::memcpy(chunk + 8 * p, &word, sizeof word);
    }
}

void InterleaveFourLanes(const uint8_t* const lanes[4], uint8_t* chunk) {
#if defined(__SSE2__)
    InterleaveFourLanesSse2(lanes, chunk);
#else
    InterleaveFourLanesByTable(lanes, chunk);
#endif
}

void InterleaveEightLanes(const uint8_t* const lanes[8], uint8_t* chunk) {
#if defined(__SSE2__)
    InterleaveEightLanesSse2(lanes, chunk);
#else
    InterleaveEightLanesByTable(lanes, chunk);
#endif
}
