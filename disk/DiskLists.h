// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "card/BankTable.h"
#include "disk/DiskSectorRW.h"

namespace tavrin {

struct ListEntry {
    std::string text;
    int itemData = -1;
};

// A drop-down list's contents as the window shows them.
struct ListModel {
    std::vector<ListEntry> entries;
    int selected = -1;  // index, -1 when nothing is selected
    int SelectedItemData() const {
        return selected >= 0 && selected < static_cast<int>(entries.size()) ? entries[selected].itemData : -1;
    }
};

// The "Select Disk" list: removable drives 0 to 15 whose sector 0 reads, and those the
// desktop's disk service would open for the user, the previously selected drive kept selected
// wherever it now stands.
ListModel BuildDiskList(const DeviceFactory& makeDevice, int previouslySelectedDrive);

// The "Bank#" list: present banks, then the first absent one as "(New)".
ListModel BuildBankList(const BankTable& table, int previouslySelectedIndex);

}  // namespace tavrin
