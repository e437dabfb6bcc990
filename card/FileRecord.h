// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "card/CardSizes.h"
#include "card/FileTime.h"

namespace tavrin {

constexpr size_t kMaxNameBytes = 259;

// Lower-cased base name as a file record stores it (at most 259 bytes).
std::string RecordBaseName(const std::string& fullPath);

// One of the eight sectors ahead of a bank's data: which file a slot holds. A record
// without a name is an unused slot.
struct FileRecord {
    std::string name;
    uint32_t length = 0;  // the whole file's, as the file system reports it
    std::string date;     // "yyyy/mm/dd"
    std::string time;     // "hh:mm:ss"

    static FileRecord Make(const std::string& fullPath, uint32_t fileLength, const FileTime& modified);
    // Each text ends at its field's first zero byte, or at the field's end.
    static FileRecord Parse(const uint8_t* sector);
    // Texts longer than their fields are cut; the date keeps a terminating zero.
    SectorBytes Build() const;
};

// Whether two records agree in what Verify compares: name, length, date and the time up to
// the tens of minutes.
bool RecordsAgree(const uint8_t* onCard, const uint8_t* expected);

}  // namespace tavrin
