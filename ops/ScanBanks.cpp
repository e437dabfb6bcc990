// SPDX-License-Identifier: Apache-2.0
#include "ops/ScanBanks.h"

#include "card/CardLayout.h"

namespace tavrin {

bool ScanBanks(DiskSectorRW& device, int drive, BankTable& table) {
    table = BankTable{};
    if (!device.OpenToLook(drive)) return false;
    SectorBytes sector{};
    for (int k = 0; k < kBankCount; ++k) {
        if (!device.Read(static_cast<int32_t>(BankSectorOffset(k)), sector.data(), kSectorSize)) continue;
        const BankSector bank = BankSector::Parse(sector.data());
        if (!bank.signature) continue;
        table.bankPresent[k] = 1;
        table.bankStart[k] = bank.dataStart;
        table.bankLength[k] = bank.dataSectorCount;
    }
    device.Close();
    return true;
}

}  // namespace tavrin
