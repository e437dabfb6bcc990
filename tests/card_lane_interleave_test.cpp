// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "card/LaneInterleave.h"
#include "support/OpsTestKit.h"

using namespace tavrin;

namespace {

using opstest::Bytes;
// The reference interleaves, one bit at a time as the layout states them.
using opstest::EightLaneImage;
using opstest::FourLaneImage;

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
        const Bytes expected = FourLaneImage(lanes);
        ASSERT_EQ(Interleaved(InterleaveFourLanes, lanes), expected);
        for (const LaneKernels& kernel : AvailableLaneKernels())
            ASSERT_EQ(Interleaved(kernel.fourLanes, lanes), expected) << kernel.name;
    }
}

TEST(LaneInterleave, EightLanesMatchTheBitByBitRule) {
    for (const auto& lanes : Cases(8, 2048)) {
        const Bytes expected = EightLaneImage(lanes);
        ASSERT_EQ(Interleaved(InterleaveEightLanes, lanes), expected);
        for (const LaneKernels& kernel : AvailableLaneKernels())
            ASSERT_EQ(Interleaved(kernel.eightLanes, lanes), expected) << kernel.name;
    }
}

}  // namespace
