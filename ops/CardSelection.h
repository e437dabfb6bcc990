// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>

#include "card/BankTable.h"
#include "disk/DiskLists.h"
#include "disk/DiskSectorRW.h"

namespace tavrin {

// The bank usage bar's geometry, worked out after every scan of the bank table.
struct BankBarGeometry {
    int scale = 1;  // -1, 0 or 1: the bar spans 1%, 10% or 100% of the disk
    uint32_t x[4]{};
    uint32_t width[4]{};
};

// The disk area of the main window: the two lists, the bank table of the selected disk and
// the usage bar drawn from it.
struct CardSelection {
    ListModel diskList;
    ListModel bankList;
    BankTable banks;
    uint32_t sectorCount = 1;  // of the selected disk; 1 when the scan could not open it
    BankBarGeometry bar;

    int Drive() const { return diskList.SelectedItemData(); }
    int BankIndex() const { return bankList.selected < 0 ? 0 : bankList.selected; }
};

BankBarGeometry ComputeBankBar(const BankTable& banks, uint32_t sectorCount);

// Rebuilds the disk list, keeping the selected drive selected where it still stands.
void RefreshDiskList(CardSelection& selection, const DeviceFactory& makeDevice);
// Scans the bank table of the selected disk, works out the bar and refills the bank list.
void RescanBanks(CardSelection& selection, const DeviceFactory& makeDevice);

}  // namespace tavrin
