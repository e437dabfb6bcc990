// SPDX-License-Identifier: Apache-2.0
#include "ops/BankInfoRows.h"

#include "text/LocalText.h"

namespace tavrin {

BankInfoRow CardRow(const SectorBytes& sector) {
    const FileRecord record = FileRecord::Parse(sector.data());
    if (record.name.empty()) return {};
    return {record.name, FormatText("%u", record.length), record.date, record.time};
}

BankInfoRow CurrentRow(const std::string& fullPath, const LoadedFile& loaded) {
    const FileRecord record = FileRecord::Make(fullPath, loaded.fileLength, loaded.modified);
    return {record.name, FormatText("%u", record.length), record.date, record.time};
}

}  // namespace tavrin
