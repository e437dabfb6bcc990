// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>

namespace tavrin {

// Multi-byte integers on a card are unsigned 32-bit little-endian, whatever the host.
inline uint32_t ReadLe32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

inline void WriteLe32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace tavrin
