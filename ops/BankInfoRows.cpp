// SPDX-License-Identifier: Apache-2.0
#include "ops/BankInfoRows.h"

#include <cstring>

#include "card/LittleEndian.h"
#include "ui/text/LocalText.h"

namespace {

constexpr size_t kNameOffset = 0, kNameBytes = 260;
constexpr size_t kLengthOffset = 260;
constexpr size_t kDateOffset = 264, kDateBytes = 16;
constexpr size_t kTimeOffset = 280, kTimeBytes = 8;

// The text of a fixed field up to its first zero byte, never past the field.
std::string FieldText(const SectorBytes& record, size_t offset, size_t width) {
    const auto* begin = reinterpret_cast<const char*>(record.data() + offset);
    const void* zero = std::memchr(begin, 0, width);
    return std::string(begin, zero ? static_cast<const char*>(zero) - begin : width);
}

}  // namespace

BankInfoRow CardRow(const SectorBytes& record) {
    BankInfoRow row;
    row.name = FieldText(record, kNameOffset, kNameBytes);
    if (row.name.empty()) return row;
    row.size = FormatText("%u", ReadLe32(record.data() + kLengthOffset));
    row.date = FieldText(record, kDateOffset, kDateBytes);
    row.time = FieldText(record, kTimeOffset, kTimeBytes);
    return row;
}

BankInfoRow CurrentRow(const std::string& fullPath, const LoadedFile& loaded) {
    const FileTime& t = loaded.modified;
    return {RecordBaseName(fullPath), FormatText("%u", loaded.fileLength),
            FormatText("%04d/%02d/%02d", t.year, t.month, t.day), FormatText("%02d:%02d:%02d", t.hour, t.minute, t.second)};
}
