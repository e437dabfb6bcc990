// SPDX-License-Identifier: Apache-2.0
#include "card/BankSector.h"

#include <cstddef>

#include "card/LittleEndian.h"

namespace tavrin {

namespace {

constexpr uint8_t kSignature[2] = {'T', 'V'};
constexpr uint8_t kLayoutRevision = 0x01;
constexpr size_t kRevisionOffset = 2;
constexpr size_t kSettingsOffset = 3;
constexpr size_t kDelayOffset = 4;
constexpr size_t kStartOffset = 8;
constexpr size_t kCountOffset = 12;

}  // namespace

int WidthCode(int parallelMode, unsigned slotMask) {
    if (parallelMode || (slotMask & 0xF0u)) return kWidestWidthCode;
    if (slotMask & 0x0Cu) return 2;
    if (slotMask & 0x02u) return 1;
    return 0;
}

bool HasTavrinSignature(const uint8_t* sector) { return sector[0] == kSignature[0] && sector[1] == kSignature[1]; }

BankSector BankSector::Make(uint32_t dataSectorCount, uint32_t dataStart, int frequency, int retry, int delay,
                            int parallelMode, unsigned slotMask) {
    BankSector bank;
    bank.signature = true;
    bank.dataStart = dataStart;
    bank.dataSectorCount = dataSectorCount;
    bank.settings = static_cast<uint8_t>((retry & 0x0F) << 4 | (frequency & 0x03) << 2 |
                                         tavrin::WidthCode(parallelMode, slotMask));
    bank.delay = static_cast<uint8_t>(delay & 0xFF);
    return bank;
}

BankSector BankSector::Parse(const uint8_t* sector) {
    BankSector bank;
    bank.signature = HasTavrinSignature(sector);
    bank.settings = sector[kSettingsOffset];
    bank.delay = sector[kDelayOffset];
    bank.dataStart = ReadLe32(sector + kStartOffset);
    bank.dataSectorCount = ReadLe32(sector + kCountOffset);
    return bank;
}

SectorBytes BankSector::Build() const {
    SectorBytes sector{};
    if (signature) {
        sector[0] = kSignature[0];
        sector[1] = kSignature[1];
        sector[kRevisionOffset] = kLayoutRevision;
    }
    sector[kSettingsOffset] = settings;
    sector[kDelayOffset] = delay;
    WriteLe32(sector.data() + kStartOffset, dataStart);
    WriteLe32(sector.data() + kCountOffset, dataSectorCount);
    return sector;
}

}  // namespace tavrin
