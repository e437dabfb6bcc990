// SPDX-License-Identifier: Apache-2.0
#include "disk/DiskLists.h"

#include "card/CardLayout.h"
#include "disk/Drives.h"
#include "text/LocalText.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

constexpr int kListedDrives = 16;

// Select entry 0, then every entry whose item data is the noted one, so the drive selected
// before stays selected wherever it now stands.
void SelectItemData(ListModel& list, int itemData) {
    list.selected = list.entries.empty() ? -1 : 0;
    for (size_t i = 0; i < list.entries.size(); ++i) {
        if (list.entries[i].itemData == itemData) list.selected = static_cast<int>(i);
    }
}

}  // namespace

ListModel BuildDiskList(const DeviceFactory& makeDevice, int previouslySelectedDrive) {
    ListModel list;
    std::unique_ptr<DiskSectorRW> device = makeDevice ? makeDevice() : nullptr;
    if (device) {
        SectorBytes sector{};
        const QuietDiskAccess quiet;  // a list is built often: it never asks for a password
        for (int drive = 0; drive < kListedDrives; ++drive) {
            if (!IsRemovableDisk(drive)) continue;
            if (!device->Open(drive)) {
                // Its mark is read once the user allowed the service to open it.
                if (ListableThroughService(drive)) list.entries.push_back({FormatText(texts::kDiskEntry, drive), drive});
                continue;
            }
            if (device->Read(0, sector.data(), kSectorSize)) {
                const char* format = HasTavrinSignature(sector.data()) ? texts::kTavrinDiskEntry : texts::kDiskEntry;
                list.entries.push_back({FormatText(format, drive), drive});
            }
            device->Close();
        }
    }
    SelectItemData(list, previouslySelectedDrive);
    return list;
}

ListModel BuildBankList(const BankTable& table, int previouslySelectedIndex) {
    const int noted = previouslySelectedIndex < 0 ? 0 : previouslySelectedIndex;
    ListModel list;
    for (int k = 0; k < static_cast<int>(table.bankPresent.size()); ++k) {
        if (table.bankPresent[k] != 0) {
            list.entries.push_back({FormatText(texts::kBankEntry, k + 1), k});
            continue;
        }
        list.entries.push_back({FormatText(texts::kNewBankEntry, k + 1), k});
        break;
    }
    list.selected = noted < static_cast<int>(list.entries.size()) ? noted : 0;
    return list;
}

}  // namespace tavrin
