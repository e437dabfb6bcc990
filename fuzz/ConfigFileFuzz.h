// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "card/ConfigFile.h"
#include "fuzz/FuzzFinding.h"
#include "fuzz/MemoryInputFile.h"

namespace tavrin {

// Any bytes as a .bit, .bin or .rbf file. The result must be the one a plain reading of the
// loading rules gives: data start at the first run of four 0xFF bytes in the first 1,024 bytes,
// found only when a sync word follows a run before the last byte read. Input: a byte of
// options (extension, failing length query, failing read, unknown time), then the file.
namespace config_fuzz {

inline constexpr const char* kNames[] = {"/cards/top.bit", "/cards/raw.bin", "/cards/alt.rbf", "/cards/UP.BIT"};

struct Expected {
    bool ok = false;
    uint32_t dataStart = 0;
    int bitOrder = 0;
};

inline bool At(const std::vector<uint8_t>& b, size_t i, uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3) {
    return b[i] == b0 && b[i + 1] == b1 && b[i + 2] == b2 && b[i + 3] == b3;
}

inline Expected ScanByTheRules(const std::vector<uint8_t>& bytes) {
    Expected e;
    const size_t n = std::min<size_t>(bytes.size(), 1024);
    if (n < 8) return e;
    bool haveStart = false;
    for (size_t i = 0; i + 9 <= n; ++i) {
        if (!At(bytes, i, 0xFF, 0xFF, 0xFF, 0xFF)) continue;
        if (!haveStart) e.dataStart = static_cast<uint32_t>(i);
        haveStart = true;
        if (At(bytes, i + 4, 0xAA, 0x99, 0x55, 0x66)) e.bitOrder = 1;
        else if (!At(bytes, i + 4, 0x55, 0x99, 0xAA, 0x66)) continue;
        e.ok = true;
        return e;
    }
    return e;
}

}  // namespace config_fuzz

inline FuzzFinding CheckConfigFile(const uint8_t* data, size_t size) {
    using namespace config_fuzz;
    if (size < 1) return {};
    const uint8_t options = data[0];
    const std::string name = kNames[options & 3];
    const bool rbf = (options & 3) == 2;
    std::vector<uint8_t> bytes(data + 1, data + size);

    MemoryInputFile file(bytes);
    file.lengthFails = options & 4;
    file.readsBeforeFailure = (options & 8) ? 0 : -1;
    file.timeKnown = !(options & 16);
    LoadedFile loaded;
    const bool ok = LoadConfigurationFile(file, name, loaded);

    Expected e = rbf ? Expected{true, 0, 0} : ScanByTheRules(bytes);
    if (file.lengthFails || (!rbf && file.readsBeforeFailure == 0)) e.ok = false;
    if (ok != e.ok) return std::string(ok ? "loaded" : "refused") + " against the rules, " + name;
    if (!ok) return {};
    if (loaded.dataStart != e.dataStart) return "data start " + std::to_string(loaded.dataStart) + ", expected " + std::to_string(e.dataStart);
    if (loaded.bitOrder != e.bitOrder) return "wrong bit order";
    if (loaded.fileLength != bytes.size()) return "wrong file length";
    if (loaded.dataLength != bytes.size() - e.dataStart) return "wrong data length";
    if (file.position != e.dataStart) return "file not left at the data start";
    const FileTime unknown{};
    const FileTime& t = file.timeKnown ? file.modified : unknown;
    if (loaded.modified.year != t.year || loaded.modified.second != t.second || loaded.modified.hour != t.hour)
        return "wrong modification time";
    return {};
}

}  // namespace tavrin
