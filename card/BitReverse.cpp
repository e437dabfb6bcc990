// SPDX-License-Identifier: Apache-2.0
#include "card/BitReverse.h"

#include <array>

#include "card/CardLayout.h"
#include "card/CpuVectors.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tavrin {

namespace {

constexpr std::array<uint8_t, 256> MakeReverseTable() {
    std::array<uint8_t, 256> table{};
    for (unsigned v = 0; v < 256; ++v) {
        unsigned r = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (v & (1u << bit)) r |= 0x80u >> bit;
        table[v] = static_cast<uint8_t>(r);
    }
    return table;
}
constexpr std::array<uint8_t, 256> kReverseTable = MakeReverseTable();

void ReverseByTable(uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) bytes[i] = kReverseTable[bytes[i]];
}

#if defined(__x86_64__)

// Halves, then pairs, then single bits change places: three mask-and-shift steps.
void ReverseSse2(uint8_t* bytes, size_t count) {
    const __m128i nibbles = _mm_set1_epi8(0x0F), pairs = _mm_set1_epi8(0x33), bits = _mm_set1_epi8(0x55);
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        v = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 4), nibbles), _mm_slli_epi16(_mm_and_si128(v, nibbles), 4));
        v = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 2), pairs), _mm_slli_epi16(_mm_and_si128(v, pairs), 2));
        v = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 1), bits), _mm_slli_epi16(_mm_and_si128(v, bits), 1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + i), v);
    }
    ReverseByTable(bytes + i, count - i);
}

// Each nibble looks up its reversal in a 16-byte table: the low nibble's lands in the high half.
#define TAVRIN_NIBBLE_TABLES(set)                                                                          \
    const auto lowToHigh = set(0xF0, 0x70, 0xB0, 0x30, 0xD0, 0x50, 0x90, 0x10, 0xE0, 0x60, 0xA0, 0x20, 0xC0, \
                               0x40, 0x80, 0x00);                                                          \
    const auto highToLow = set(0x0F, 0x07, 0x0B, 0x03, 0x0D, 0x05, 0x09, 0x01, 0x0E, 0x06, 0x0A, 0x02, 0x0C, \
                               0x04, 0x08, 0x00)

__attribute__((target("ssse3"))) void ReverseSsse3(uint8_t* bytes, size_t count) {
    TAVRIN_NIBBLE_TABLES(_mm_set_epi8);
    const __m128i nibbles = _mm_set1_epi8(0x0F);
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + i));
        const __m128i low = _mm_shuffle_epi8(lowToHigh, _mm_and_si128(v, nibbles));
        const __m128i high = _mm_shuffle_epi8(highToLow, _mm_and_si128(_mm_srli_epi16(v, 4), nibbles));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes + i), _mm_or_si128(low, high));
    }
    ReverseByTable(bytes + i, count - i);
}

#define TAVRIN_SET_BOTH_HALVES(...) _mm256_broadcastsi128_si256(_mm_set_epi8(__VA_ARGS__))

__attribute__((target("avx2"))) void ReverseAvx2(uint8_t* bytes, size_t count) {
    TAVRIN_NIBBLE_TABLES(TAVRIN_SET_BOTH_HALVES);
    const __m256i nibbles = _mm256_set1_epi8(0x0F);
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + i));
        const __m256i low = _mm256_shuffle_epi8(lowToHigh, _mm256_and_si256(v, nibbles));
        const __m256i high = _mm256_shuffle_epi8(highToLow, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibbles));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(bytes + i), _mm256_or_si256(low, high));
    }
    ReverseByTable(bytes + i, count - i);
}

#undef TAVRIN_SET_BOTH_HALVES
#undef TAVRIN_NIBBLE_TABLES

#endif

}  // namespace

std::vector<BitReverser> AvailableBitReversers() {
    std::vector<BitReverser> kernels{{"table", ReverseByTable}};
#if defined(__x86_64__)
    kernels.push_back({"SSE2", ReverseSse2});
    if (AvailableVectors() >= Vectors::Ssse3) kernels.push_back({"SSSE3", ReverseSsse3});
    if (AvailableVectors() >= Vectors::Avx2) kernels.push_back({"AVX2", ReverseAvx2});
#endif
    return kernels;
}

uint8_t ReverseBits(uint8_t value) { return kReverseTable[value]; }

void ReverseBitsInPlace(uint8_t* bytes, size_t count) {
#if defined(__x86_64__)
    switch (AvailableVectors()) {
    case Vectors::Avx2:
    case Vectors::Avx2Gfni: return ReverseAvx2(bytes, count);
    case Vectors::Ssse3: return ReverseSsse3(bytes, count);
    default: return ReverseSse2(bytes, count);
    }
#else
    ReverseByTable(bytes, count);
#endif
}

}  // namespace tavrin
