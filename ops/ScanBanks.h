// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "card/BankTable.h"
#include "disk/DiskSectorRW.h"

namespace tavrin {

// Opens the device on the drive, reads sectors 0 to 3 into the table and closes it again.
// Returns whether the device could be opened (every entry is absent when not).
bool ScanBanks(DiskSectorRW& device, int drive, BankTable& table);

}  // namespace tavrin
