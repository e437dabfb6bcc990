#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "card/LaneInterleave.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The interleaves as the layout states them, one bit at a time.
Bytes FourLanesOneBitAtATime(const std::vector<Bytes>& lanes) {
    Bytes chunk(16384, 0);
    for (size_t l = 0; l < 4096; ++l)
        for (int m = 0; m < 4; ++m)
            for (int n = 0; n < 4; ++n) {
                chunk[4 * l + m] |= ((lanes[n][l] >> (2 * m)) & 1) << (4 + n);
                chunk[4 * l + m] |= ((lanes[n][l] >> (2 * m + 1)) & 1) << n;
            }
    return chunk;
}

Bytes EightLanesOneBitAtATime(const std::vector<Bytes>& lanes) {
    Bytes chunk(16384, 0);
    for (size_t p = 0; p < 2048; ++p)
        for (int k = 0; k < 8; ++k)
            for (int n = 0; n < 8; ++n) chunk[8 * p + k] |= ((lanes[n][p] >> k) & 1) << n;
    return chunk;
}

std::vector<Bytes> RandomLanes(int count, size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<Bytes> lanes(count, Bytes(bytes));
    for (Bytes& lane : lanes)
        for (uint8_t& b : lane) b = static_cast<uint8_t>(random());
    return lanes;
}

template <typename Interleave>
Bytes Interleaved(Interleave interleave, const std::vector<Bytes>& lanes) {
    const uint8_t* pointers[8] = {};
    for (size_t n = 0; n < lanes.size(); ++n) pointers[n] = lanes[n].data();
    Bytes chunk(16384, 0xEE);
    interleave(pointers, chunk.data());
    return chunk;
}

// Single set bits find every misrouted bit; random lanes the rest.
std::vector<std::vector<Bytes>> Cases(int laneCount, size_t laneBytes) {
    std::vector<std::vector<Bytes>> cases;
    for (int n = 0; n < laneCount; ++n)
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<Bytes> lanes(laneCount, Bytes(laneBytes, 0));
            for (size_t i = bit; i < laneBytes; i += 37) lanes[n][i] = static_cast<uint8_t>(1u << bit);
            cases.push_back(lanes);
        }
    for (unsigned seed = 1; seed <= 4; ++seed) cases.push_back(RandomLanes(laneCount, laneBytes, seed));
    return cases;
}

TEST(LaneInterleave, FourLanesMatchTheBitByBitRule) {
    for (const auto& lanes : Cases(4, 4096)) {
        const Bytes expected = FourLanesOneBitAtATime(lanes);
        ASSERT_EQ(Interleaved(InterleaveFourLanes, lanes), expected);
        for (const LaneKernels& kernel : AvailableLaneKernels())
            ASSERT_EQ(Interleaved(kernel.fourLanes, lanes), expected) << kernel.name;
    }
}

TEST(LaneInterleave, EightLanesMatchTheBitByBitRule) {
    for (const auto& lanes : Cases(8, 2048)) {
        const Bytes expected = EightLanesOneBitAtATime(lanes);
        ASSERT_EQ(Interleaved(InterleaveEightLanes, lanes), expected);
        for (const LaneKernels& kernel : AvailableLaneKernels())
            ASSERT_EQ(Interleaved(kernel.eightLanes, lanes), expected) << kernel.name;
    }
}

}  // namespace
