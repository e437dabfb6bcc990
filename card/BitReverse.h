// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrin {

// Every bit-reversal kernel this machine can run (the table first, then the vector kernels by
// instruction set), so that tests hold each to the table's result. ReverseBitsInPlace (in
// CardLayout.h) uses the best of them.
struct BitReverser {
    const char* name;
    void (*reverse)(uint8_t* bytes, size_t count);
};
std::vector<BitReverser> AvailableBitReversers();

}  // namespace tavrin
