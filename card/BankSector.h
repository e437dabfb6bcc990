// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>

#include "card/CardSizes.h"

namespace tavrin {

// Width code 3: parallel, or eight serial lanes.
constexpr int kWidestWidthCode = 3;

// Width code of the bank sector, from the mode and the slots in use (bit n for File#n+1).
int WidthCode(int parallelMode, unsigned slotMask);

// The first sector of a bank, sectors 0 to 3 of the card. The bank is present only while
// its sector carries the signature.
struct BankSector {
    bool signature = false;
    uint32_t dataStart = 0;        // first data sector
    uint32_t dataSectorCount = 0;
    uint8_t settings = 0;          // retry, frequency and width code
    uint8_t delay = 0;             // tens of milliseconds the board waits

    // A present bank with the settings packed; out-of-range settings are cut to their bits
    // rather than spill into the neighbouring fields.
    static BankSector Make(uint32_t dataSectorCount, uint32_t dataStart, int frequency, int retry, int delay,
                           int parallelMode, unsigned slotMask);
    static BankSector Parse(const uint8_t* sector);
    SectorBytes Build() const;

    int WidthCode() const { return settings & 0x03; }
    int Frequency() const { return settings >> 2 & 0x03; }
    int Retry() const { return settings >> 4; }
};

bool HasTavrinSignature(const uint8_t* sector);

}  // namespace tavrin
