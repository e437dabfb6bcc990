// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <cstdint>

namespace tavrin {

// What the four bank sectors of the selected card say, as the last scan found them.
struct BankTable {
    std::array<int, 4> bankPresent{};
    std::array<uint32_t, 4> bankStart{};   // data start sector
    std::array<uint32_t, 4> bankLength{};  // data sector count
};

}  // namespace tavrin
