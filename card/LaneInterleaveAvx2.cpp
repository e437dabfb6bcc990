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

namespace {

struct Avx2Ops {
    using V = __m256i;
    static constexpr uint32_t kBytes = 32;
    static V Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
    // The two 16-byte lanes hold results for places `laneStep` apart.
    static void Store(uint8_t* p, size_t laneStep, V v) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + laneStep), _mm256_extracti128_si256(v, 1));
    }
    static V And(V a, V b) { return _mm256_and_si256(a, b); }
    static V Or(V a, V b) { return _mm256_or_si256(a, b); }
    static V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
    template <int N> static V Srl16(V a) { return _mm256_srli_epi16(a, N); }
    template <int N> static V Sll16(V a) { return _mm256_slli_epi16(a, N); }
    template <int N> static V Srl64(V a) { return _mm256_srli_epi64(a, N); }
    template <int N> static V Sll64(V a) { return _mm256_slli_epi64(a, N); }
    static V Set16(uint16_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
    static V Set64(uint64_t v) { return _mm256_set1_epi64x(static_cast<long long>(v)); }
    static V UnpackLo8(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
    static V UnpackHi8(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
    static V UnpackLo16(V a, V b) { return _mm256_unpacklo_epi16(a, b); }
    static V UnpackHi16(V a, V b) { return _mm256_unpackhi_epi16(a, b); }
    static V UnpackLo32(V a, V b) { return _mm256_unpacklo_epi32(a, b); }
    static V UnpackHi32(V a, V b) { return _mm256_unpackhi_epi32(a, b); }
    static V PackUs16(V a, V b) { return _mm256_packus_epi16(a, b); }
    static V Shuffle3120(V a) { return _mm256_shuffle_epi32(a, _MM_SHUFFLE(3, 1, 2, 0)); }
    static V Transpose(V a) { return TransposeBits<Avx2Ops>(a); }
};

}  // namespace

void InterleaveFourLanesAvx2(const uint8_t* const lanes[4], uint8_t* chunk) { FourLanes<Avx2Ops>(lanes, chunk); }
void InterleaveEightLanesAvx2(const uint8_t* const lanes[8], uint8_t* chunk) { EightLanes<Avx2Ops>(lanes, chunk); }

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif
