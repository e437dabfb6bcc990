#include "card/CardLayout.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

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

uint32_t ReadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void WriteLe32(uint8_t* p, uint32_t value) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

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

// Four lanes: for lane 0, the four image bytes that a lane byte contributes to, packed in
// memory order into one word; lane n is the same shifted left by n.
std::array<uint32_t, 256> MakeFourLaneTable() {
    std::array<uint32_t, 256> table{};
    for (unsigned v = 0; v < 256; ++v) {
        uint8_t bytes[4] = {};
        for (int m = 0; m < 4; ++m) {
            if (v & (1u << (2 * m))) bytes[m] |= 0x10;
            if (v & (1u << (2 * m + 1))) bytes[m] |= 0x01;
        }
        std::memcpy(&table[v], bytes, sizeof bytes);
    }
    return table;
}

// Eight lanes: bit k of a lane-0 byte lands in bit 0 of image byte k; lane n shifts by n.
std::array<uint64_t, 256> MakeEightLaneTable() {
    std::array<uint64_t, 256> table{};
    for (unsigned v = 0; v < 256; ++v) {
        uint8_t bytes[8] = {};
        for (int k = 0; k < 8; ++k) bytes[k] = (v >> k) & 1u;
        std::memcpy(&table[v], bytes, sizeof bytes);
    }
    return table;
}

const std::array<uint32_t, 256> kFourLaneTable = MakeFourLaneTable();
const std::array<uint64_t, 256> kEightLaneTable = MakeEightLaneTable();

void EncodeFourLanes(const uint8_t* const lanes[4], uint8_t* chunk) {
    const uint8_t* a = lanes[0];
    const uint8_t* b = lanes[1];
    const uint8_t* c = lanes[2];
    const uint8_t* d = lanes[3];
    const uint32_t* t = kFourLaneTable.data();
    for (uint32_t l = 0; l < kChunkSize / 4; ++l) {
        uint32_t word = t[a[l]] | t[b[l]] << 1 | t[c[l]] << 2 | t[d[l]] << 3;
        std::memcpy(chunk + 4 * l, &word, sizeof word);
    }
}

void EncodeEightLanes(const uint8_t* const lanes[8], uint8_t* chunk) {
    const uint64_t* t = kEightLaneTable.data();
    for (uint32_t p = 0; p < kChunkSize / 8; ++p) {
        uint64_t word = t[lanes[0][p]] | t[lanes[1][p]] << 1 | t[lanes[2][p]] << 2 | t[lanes[3][p]] << 3 |
                        t[lanes[4][p]] << 4 | t[lanes[5][p]] << 5 | t[lanes[6][p]] << 6 | t[lanes[7][p]] << 7;
        std::memcpy(chunk + 8 * p, &word, sizeof word);
    }
}

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
    case Encoding::FourLane: EncodeFourLanes(source, chunk); break;
    case Encoding::EightLane: EncodeEightLanes(source, chunk); break;
    }
}
