// SPDX-License-Identifier: Apache-2.0
#pragma once
// The serial interleaves as 8x8 bit-matrix transposes, written once over a set of vector
// operations and compiled for each instruction set it is used with. Included only by the
// interleave sources; everything here has internal linkage so that a copy compiled for a
// newer instruction set never stands in for the baseline one.
#include <cstddef>
#include <cstdint>

#include "card/CardSizes.h"

namespace tavrin {

namespace {

// Eight source bytes, one per row, give eight image bytes, one per bit position. Each 64-bit
// element of a vector holds one matrix; in it bit 8r + c moves to bit 8c + r.
template <typename Ops>
inline typename Ops::V TransposeBits(typename Ops::V x) {
    using V = typename Ops::V;
    V t = Ops::And(Ops::Xor(x, Ops::template Srl64<7>(x)), Ops::Set64(0x00AA00AA00AA00AA));
    x = Ops::Xor(x, Ops::Xor(t, Ops::template Sll64<7>(t)));
    t = Ops::And(Ops::Xor(x, Ops::template Srl64<14>(x)), Ops::Set64(0x0000CCCC0000CCCC));
    x = Ops::Xor(x, Ops::Xor(t, Ops::template Sll64<14>(t)));
    t = Ops::And(Ops::Xor(x, Ops::template Srl64<28>(x)), Ops::Set64(0x00000000F0F0F0F0));
    return Ops::Xor(x, Ops::Xor(t, Ops::template Sll64<28>(t)));
}

// Four-lane transposes hold image bytes of l and l + 1 alternately: group each four together.
template <typename Ops>
inline typename Ops::V GroupPairs(typename Ops::V x) {
    const typename Ops::V lowBytes = Ops::Set16(0x00FF);
    return Ops::Shuffle3120(Ops::PackUs16(Ops::And(x, lowBytes), Ops::template Srl16<8>(x)));
}

// rows[0..7] hold one byte of each of 16 matrices per 16-byte lane. Their transposes (with
// pairs grouped for four lanes) are stored from `out`: matrices 0-7 and 8-15 of a lane
// `halfStep` apart, lanes `laneStep` apart.
template <typename Ops, bool kGroupPairs>
inline void TransposeRows(const typename Ops::V rows[8], uint8_t* out, size_t halfStep, size_t laneStep) {
    using V = typename Ops::V;
    for (int half = 0; half < 2; ++half) {
        V pairs[4];
        for (int r = 0; r < 4; ++r) {
            // Ops::kRowsReversed: the transpose wants row 7 in the first byte of each matrix.
            const V& first = rows[Ops::kRowsReversed ? 7 - 2 * r : 2 * r];
            const V& second = rows[Ops::kRowsReversed ? 6 - 2 * r : 2 * r + 1];
            pairs[r] = half ? Ops::UnpackHi8(first, second) : Ops::UnpackLo8(first, second);
        }
        const V abcdLo = Ops::UnpackLo16(pairs[0], pairs[1]), abcdHi = Ops::UnpackHi16(pairs[0], pairs[1]);
        const V efghLo = Ops::UnpackLo16(pairs[2], pairs[3]), efghHi = Ops::UnpackHi16(pairs[2], pairs[3]);
        const V matrices[4] = {Ops::UnpackLo32(abcdLo, efghLo), Ops::UnpackHi32(abcdLo, efghLo),
                               Ops::UnpackLo32(abcdHi, efghHi), Ops::UnpackHi32(abcdHi, efghHi)};
        for (int i = 0; i < 4; ++i) {
            V image = Ops::Transpose(matrices[i]);
            if (kGroupPairs) image = GroupPairs<Ops>(image);
            Ops::Store(out + half * halfStep + 16 * i, laneStep, image);
        }
    }
}

// Eight lanes: the row of matrix p is lane n's byte p.
template <typename Ops>
inline void EightLanes(const uint8_t* const lanes[8], uint8_t* chunk) {
    using V = typename Ops::V;
    constexpr uint32_t step = Ops::kBytes;  // matrices per round
    for (uint32_t p = 0; p < kChunkSize / 8; p += step) {
        V rows[8];
        for (int n = 0; n < 8; ++n) rows[n] = Ops::Load(lanes[n] + p);
        TransposeRows<Ops, false>(rows, chunk + 8 * p, 64, 128);
    }
}

// Four lanes: one matrix covers lane bytes l (even) and l + 1. Rows 0..3 carry the odd bits
// of lanes 0..3, rows 4..7 the even bits, byte l in the even columns and byte l + 1 in the odd
// ones, so the transpose gives image bytes of l and l + 1 alternately.
template <typename Ops>
inline void FourLanes(const uint8_t* const lanes[4], uint8_t* chunk) {
    using V = typename Ops::V;
    const V lowBytes = Ops::Set16(0x00FF);
    const V evenBits = Ops::Set64(0x5555555555555555);
    const V oddBits = Ops::Set64(0xAAAAAAAAAAAAAAAA);
    constexpr uint32_t step = 2 * Ops::kBytes;  // lane bytes per round
    for (uint32_t l = 0; l < kChunkSize / 4; l += step) {
        V rows[8];
        for (int n = 0; n < 4; ++n) {
            const V lo = Ops::Load(lanes[n] + l);
            const V hi = Ops::Load(lanes[n] + l + Ops::kBytes);
            const V even = Ops::PackUs16(Ops::And(lo, lowBytes), Ops::And(hi, lowBytes));
            const V odd = Ops::PackUs16(Ops::template Srl16<8>(lo), Ops::template Srl16<8>(hi));
            rows[n] = Ops::Or(Ops::And(Ops::template Srl16<1>(even), evenBits), Ops::And(odd, oddBits));
            rows[4 + n] = Ops::Or(Ops::And(even, evenBits), Ops::And(Ops::template Sll16<1>(odd), oddBits));
        }
        // Packing works within 16-byte lanes: with 32-byte vectors lane 0 holds pairs 0-7 and
        // 16-23, lane 1 the rest.
        TransposeRows<Ops, true>(rows, chunk + 4 * l, 4 * Ops::kBytes, 64);
    }
}

}  // namespace

// The same kernels built for AVX2, and for AVX2 with GFNI (whose affine instruction does a
// whole transpose), each in its own source; only called where the CPU has them.
#if defined(__x86_64__)
void InterleaveFourLanesAvx2(const uint8_t* const lanes[4], uint8_t* chunk);
void InterleaveEightLanesAvx2(const uint8_t* const lanes[8], uint8_t* chunk);
void InterleaveFourLanesGfni(const uint8_t* const lanes[4], uint8_t* chunk);
void InterleaveEightLanesGfni(const uint8_t* const lanes[8], uint8_t* chunk);
#endif

}  // namespace tavrin
