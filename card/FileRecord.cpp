// SPDX-License-Identifier: Apache-2.0
#include "card/FileRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "card/LittleEndian.h"
#include "card/NameRules.h"

namespace tavrin {

namespace {

constexpr size_t kNameOffset = 0, kNameBytes = 260;
constexpr size_t kLengthOffset = 260;
constexpr size_t kDateOffset = 264, kDateBytes = 16;
constexpr size_t kTimeOffset = 280, kTimeBytes = 8;
constexpr size_t kComparedBytes = kTimeOffset + 4;

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[64];
    const int written = std::snprintf(text, sizeof text, format, args...);
    return written > 0 ? std::string(text, std::min(static_cast<size_t>(written), sizeof text - 1)) : std::string();
}

std::string FieldText(const uint8_t* sector, size_t offset, size_t width) {
    const auto* begin = reinterpret_cast<const char*>(sector + offset);
    const void* zero = std::memchr(begin, 0, width);
    return std::string(begin, zero ? static_cast<const char*>(zero) - begin : width);
}

void PutText(uint8_t* sector, size_t offset, size_t width, const std::string& text) {
    std::memcpy(sector + offset, text.data(), std::min(text.size(), width));
}

}  // namespace

std::string RecordBaseName(const std::string& fullPath) {
    std::string lower = LowerAscii(fullPath);
    size_t cut = lower.find_last_of("\\:/");
    std::string base = cut == std::string::npos ? lower : lower.substr(cut + 1);
    if (base.size() > kMaxNameBytes) base.resize(kMaxNameBytes);
    return base;
}

FileRecord FileRecord::Make(const std::string& fullPath, uint32_t fileLength, const FileTime& t) {
    return {RecordBaseName(fullPath), fileLength, Format("%04d/%02d/%02d", t.year, t.month, t.day),
            Format("%02d:%02d:%02d", t.hour, t.minute, t.second)};
}

FileRecord FileRecord::Parse(const uint8_t* sector) {
    return {FieldText(sector, kNameOffset, kNameBytes), ReadLe32(sector + kLengthOffset),
            FieldText(sector, kDateOffset, kDateBytes), FieldText(sector, kTimeOffset, kTimeBytes)};
}

SectorBytes FileRecord::Build() const {
    SectorBytes sector{};
    PutText(sector.data(), kNameOffset, kNameBytes - 1, name);
    WriteLe32(sector.data() + kLengthOffset, length);
    // The date keeps at least one terminating zero; the time field has none.
    PutText(sector.data(), kDateOffset, kDateBytes - 1, date);
    PutText(sector.data(), kTimeOffset, kTimeBytes, time);
    return sector;
}

bool RecordsAgree(const uint8_t* onCard, const uint8_t* expected) {
    return std::memcmp(onCard, expected, kComparedBytes) == 0;
}

}  // namespace tavrin
