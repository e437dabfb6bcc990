// SPDX-License-Identifier: Apache-2.0
#include "card/CardLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "card/LaneInterleave.h"
#include "card/LittleEndian.h"
#include "card/NameRules.h"
#include "disk/DiskSectorRW.h"

namespace {

constexpr size_t kNameFieldOffset = 0;
constexpr size_t kNameFieldSize = 260;
constexpr size_t kLengthFieldOffset = 260;
constexpr size_t kDateFieldOffset = 264;
constexpr size_t kDateFieldSize = 16;
constexpr size_t kTimeFieldOffset = 280;
constexpr size_t kTimeFieldSize = 8;

constexpr size_t kStartFieldOffset = 8;
constexpr size_t kCountFieldOffset = 12;

constexpr std::array<uint8_t, 256> MakeReverseTable() {
    std::array<uint8_t, 256> table{};
    for (unsigned v = 0; v < 256; ++v) {
        unsigned r = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (v & (1u << bit)) r |= 0x80u >> bit;
        table[v] = static_cast<uint8_t>(r);
    }
    return table;
}
constexpr std::array<uint8_t, 256> kReverseTable = MakeReverseTable();

// Formats into a field of fixed width: cut to the field, zeros after the text.
template <typename... Args>
void FormatField(uint8_t* field, size_t width, const char* format, Args... args) {
    char text[64];
    int written = std::snprintf(text, sizeof text, format, args...);
    size_t length = written > 0 ? std::min(static_cast<size_t>(written), sizeof text - 1) : 0;
    std::memcpy(field, text, std::min(length, width));
}

}  // namespace

bool HasTavrinSignature(const uint8_t* sector) { return sector[0] == 'T' && sector[1] == 'V'; }

bool ScanBanks(DiskSectorRW& device, int drive, BankTable& table) {
    table = BankTable{};
    if (!device.Open(drive)) return false;
    SectorBytes sector{};
    for (int k = 0; k < kBankCount; ++k) {
        if (!device.Read(static_cast<int32_t>(k * kSectorSize), sector.data(), kSectorSize)) continue;
        if (!HasTavrinSignature(sector.data())) continue;
        table.bankPresent[k] = 1;
        table.bankStart[k] = ReadLe32(sector.data() + kStartFieldOffset);
        table.bankLength[k] = ReadLe32(sector.data() + kCountFieldOffset);
    }
    device.Close();
    return true;
}

uint64_t BankDataStart(const BankTable& table, int k) {
    if (k == 0) return kFirstDataSector;
    if (k < 0 || k >= kBankCount) return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(table.bankStart[k - 1]) + table.bankLength[k - 1] + kBankGapSectors;
}

bool BankStartFits(uint64_t start) { return start >= kFirstDataSector && start <= kLastReachableSector; }

uint32_t DataSectorCount(uint32_t imageLength) { return (imageLength / kChunkSize + 1) * kChunkSectors; }

int WidthCode(int parallelMode, unsigned slotMask) {
    if (parallelMode || (slotMask & 0xF0u)) return 3;
    if (slotMask & 0x0Cu) return 2;
    if (slotMask & 0x02u) return 1;
    return 0;
}

Encoding EncodingFor(int parallelMode, unsigned slotMask) {
    if (parallelMode) return Encoding::Parallel;
    return (slotMask & 0xF0u) ? Encoding::EightLane : Encoding::FourLane;
}

uint32_t LaneBytesPerChunk(Encoding encoding) {
    switch (encoding) {
    case Encoding::Parallel: return kChunkSize;
    case Encoding::FourLane: return kChunkSize / 4;
    case Encoding::EightLane: return kChunkSize / 8;
    }
    return kChunkSize;
}

SectorBytes BuildBankSector(uint32_t dataSectorCount, uint32_t dataStart, int frequency, int retry, int delay,
                            int parallelMode, unsigned slotMask) {
    SectorBytes sector{};
    sector[0] = 'T';
    sector[1] = 'V';
    sector[2] = 0x01;
    // Out-of-range settings are cut to their bits rather than spill into the neighbouring fields.
    sector[3] = static_cast<uint8_t>((retry & 0x0F) << 4 | (frequency & 0x03) << 2 | WidthCode(parallelMode, slotMask));
    sector[4] = static_cast<uint8_t>(delay & 0xFF);
    WriteLe32(sector.data() + kStartFieldOffset, dataStart);
    WriteLe32(sector.data() + kCountFieldOffset, dataSectorCount);
    return sector;
}

std::string RecordBaseName(const std::string& fullPath) {
    std::string lower = LowerAscii(fullPath);
    size_t cut = lower.find_last_of("\\:/");
    std::string base = cut == std::string::npos ? lower : lower.substr(cut + 1);
    if (base.size() > kMaxNameBytes) base.resize(kMaxNameBytes);
    return base;
}

SectorBytes BuildFileRecord(const std::string& fullPath, uint32_t fileLength, const FileTime& time) {
    SectorBytes record{};
    std::string base = RecordBaseName(fullPath);
    std::memcpy(record.data() + kNameFieldOffset, base.data(), std::min(base.size(), kNameFieldSize - 1));
    WriteLe32(record.data() + kLengthFieldOffset, fileLength);
    // The date keeps at least one terminating zero; the time field has none.
    FormatField(record.data() + kDateFieldOffset, kDateFieldSize - 1, "%04d/%02d/%02d", time.year, time.month,
                time.day);
    FormatField(record.data() + kTimeFieldOffset, kTimeFieldSize, "%02d:%02d:%02d", time.hour, time.minute,
                time.second);
    return record;
}

uint8_t ReverseBits(uint8_t value) { return kReverseTable[value]; }

void ReverseBitsInPlace(uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) bytes[i] = kReverseTable[bytes[i]];
}

void EncodeChunk(Encoding encoding, const uint8_t* const lanes[8], uint8_t* chunk) {
    // A missing lane stands for an unused slot: it supplies zeros. Lanes past those the
    // encoding uses are never read, so a caller may pass a shorter array.
    static const uint8_t kZeros[kChunkSize] = {};
    const int laneCount = encoding == Encoding::Parallel ? 1 : encoding == Encoding::FourLane ? 4 : 8;
    const uint8_t* source[8];
    for (int n = 0; n < laneCount; ++n) source[n] = lanes[n] ? lanes[n] : kZeros;
    switch (encoding) {
    case Encoding::Parallel: std::memcpy(chunk, source[0], kChunkSize); break;
    case Encoding::FourLane: InterleaveFourLanes(source, chunk); break;
    case Encoding::EightLane: InterleaveEightLanes(source, chunk); break;
    }
}
