// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "card/CardLayout.h"
#include "card/ConfigFile.h"

namespace tavrin {

// One row of the File Information dialog: File Name, Size, Modified Date, Modified Time.
struct BankInfoRow {
    std::string name, size, date, time;
};

// The row a file record on the card gives; all four texts empty when the record has no name.
BankInfoRow CardRow(const SectorBytes& record);
// The row of a loaded file named in the window.
BankInfoRow CurrentRow(const std::string& fullPath, const LoadedFile& loaded);

}  // namespace tavrin
