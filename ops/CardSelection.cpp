// SPDX-License-Identifier: Apache-2.0
#include "ops/CardSelection.h"

#include <algorithm>
#include <limits>

#include "card/CardLayout.h"
#include "disk/Drives.h"
#include "ops/ScanBanks.h"

namespace tavrin {

namespace {

constexpr uint64_t kBarPixels = 230;
constexpr uint32_t kMinBlockWidth = 2;

uint32_t ToPixels(uint64_t sectors, uint64_t fullScale) {
    // 64 bits: a damaged table may hold starts and lengths near 2^32.
    uint64_t pixels = sectors * kBarPixels / fullScale;
    return static_cast<uint32_t>(std::min<uint64_t>(pixels, std::numeric_limits<uint32_t>::max()));
}

uint64_t EndOfHighestBank(const BankTable& banks) {
    for (int k = kBankCount - 1; k >= 0; --k) {
        if (banks.bankPresent[k]) return uint64_t{banks.bankStart[k]} + banks.bankLength[k];
    }
    return 0;
}

}  // namespace

BankBarGeometry ComputeBankBar(const BankTable& banks, uint32_t sectorCount) {
    const uint64_t c = std::max<uint32_t>(sectorCount, 1);
    const uint64_t end = EndOfHighestBank(banks);
    BankBarGeometry bar;
    uint64_t fullScale = c;
    if (end < c / 100) {
        fullScale = c / 100;
        bar.scale = -1;
    } else if (end < c / 10) {
        fullScale = c / 10;
        bar.scale = 0;
    } else {
        bar.scale = 1;
    }
    for (int k = 0; k < kBankCount; ++k) {
        bar.x[k] = ToPixels(banks.bankStart[k], fullScale);
        bar.width[k] = std::max(ToPixels(banks.bankLength[k], fullScale), kMinBlockWidth);
    }
    return bar;
}

void RefreshDiskList(CardSelection& selection, const DeviceFactory& makeDevice) {
    selection.diskList = BuildDiskList(makeDevice, selection.Drive());
}

void RescanBanks(CardSelection& selection, const DeviceFactory& makeDevice) {
    const int drive = selection.Drive();
    bool opened = false;
    if (auto device = makeDevice()) opened = ScanBanks(*device, drive, selection.banks);
    if (!opened) selection.banks = BankTable{};
    selection.sectorCount = opened ? std::max<uint32_t>(DiskSectorCount(drive), 1) : 1;
    selection.bar = ComputeBankBar(selection.banks, selection.sectorCount);
    selection.bankList = BuildBankList(selection.banks, selection.BankIndex());
}

}  // namespace tavrin
