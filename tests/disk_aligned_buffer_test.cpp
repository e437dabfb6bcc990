// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "disk/AlignedBuffer.h"

using namespace tavrin;

// Small buffers come from the heap, larger ones are mapped, the largest in huge pages: each
// starts on a page, reads zero when asked for zeros, and holds every byte of its size.
TEST(AlignedBuffer, EveryKindStartsOnAPageAndHoldsItsSize) {
    for (size_t size : {size_t{512}, size_t{64} << 10, (size_t{1} << 20) + 16384, (size_t{4} << 20) + 512}) {
        AlignedBuffer zeroed(size);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(zeroed.data()) % AlignedBuffer::kAlignment, 0u) << size;
        EXPECT_TRUE(std::all_of(zeroed.data(), zeroed.data() + size, [](uint8_t b) { return b == 0; })) << size;
        AlignedBuffer written(size, AlignedBuffer::Contents::Overwritten);
        written.PrepareForWriting(size - 1, size);  // past the end: only what lies inside
        std::fill(written.data(), written.data() + size, uint8_t{0xA5});
        EXPECT_EQ(written.data()[size - 1], 0xA5) << size;
    }
}
