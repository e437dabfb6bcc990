// SPDX-License-Identifier: Apache-2.0
#include "card/ConfigFile.h"

#include <array>
#include <cstddef>

#include "card/NameRules.h"

namespace tavrin {

namespace {

constexpr size_t kScanBytes = 1024;
constexpr size_t kMinScanBytes = 8;

bool IsDummyWord(const uint8_t* p) { return p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF && p[3] == 0xFF; }

bool Matches(const uint8_t* p, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return p[0] == b0 && p[1] == b1 && p[2] == b2 && p[3] == b3;
}

// Finds the first dummy word and the bit order of the sync word behind the dummy words.
// The last byte read never takes part in a match.
bool ScanForSyncWord(const uint8_t* bytes, size_t count, uint32_t& dataStart, int& bitOrder) {
    if (count < kMinScanBytes) return false;
    bool haveStart = false;
    for (size_t i = 0; i + 9 <= count; ++i) {
        if (!IsDummyWord(bytes + i)) continue;
        if (!haveStart) {
            dataStart = static_cast<uint32_t>(i);
            haveStart = true;
        }
        if (Matches(bytes + i + 4, 0xAA, 0x99, 0x55, 0x66)) {
            bitOrder = 1;
            return true;
        }
        if (Matches(bytes + i + 4, 0x55, 0x99, 0xAA, 0x66)) {
            bitOrder = 0;
            return true;
        }
    }
    return false;
}

bool FindDataStart(InputFile& file, uint32_t& dataStart, int& bitOrder) {
    std::array<uint8_t, kScanBytes> head{};
    long got = file.Read(head.data(), head.size());
    if (got < 0) return false;
    return ScanForSyncWord(head.data(), static_cast<size_t>(got), dataStart, bitOrder);
}

}  // namespace

bool LoadConfigurationFile(InputFile& file, const std::string& name, LoadedFile& loaded) {
    uint64_t length = 0;
    // The file record holds the length in 32 bits: a longer file cannot be described.
    if (!file.Length(length) || length > UINT32_MAX) return false;

    LoadedFile result;
    result.fileLength = static_cast<uint32_t>(length);
    if (HasSyncWordExtension(name) && !FindDataStart(file, result.dataStart, result.bitOrder)) return false;
    // A file that shrank under us could put the data start past its end.
    if (result.dataStart > result.fileLength || !file.Seek(result.dataStart)) return false;
    result.dataLength = result.fileLength - result.dataStart;
    if (!file.ModifiedTime(result.modified)) result.modified = FileTime{};
    loaded = result;
    return true;
}

}  // namespace tavrin
