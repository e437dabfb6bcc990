// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <random>

#include "card/BitReverse.h"
#include "card/CardLayout.h"
#include "support/OpsTestKit.h"

using namespace tavrin;

namespace {

using opstest::Bytes;

// Every kernel against the table, over lengths and starting points that leave every size of
// head and tail next to the vector steps.
TEST(BitReverse, EveryKernelMatchesTheTable) {
    std::mt19937 random(7);
    Bytes source(300);
    for (uint8_t& b : source) b = static_cast<uint8_t>(random());
    for (const BitReverser& kernel : AvailableBitReversers()) {
        for (size_t start = 0; start < 33; ++start) {
            for (size_t count : {size_t{0}, size_t{1}, size_t{15}, size_t{16}, size_t{31}, size_t{33}, size_t{255}}) {
                Bytes bytes = source;
                kernel.reverse(bytes.data() + start, count);
                for (size_t i = 0; i < bytes.size(); ++i) {
                    const bool inside = i >= start && i < start + count;
                    ASSERT_EQ(bytes[i], inside ? ReverseBits(source[i]) : source[i])
                        << kernel.name << ", start " << start << ", count " << count << ", byte " << i;
                }
            }
        }
    }
}

}  // namespace
