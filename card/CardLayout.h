// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "card/BankSector.h"
#include "card/BankTable.h"
#include "card/CardSizes.h"
#include "card/FileRecord.h"
#include "card/FileTime.h"

namespace tavrin {

constexpr uint32_t kFirstDataSector = 128;
constexpr uint32_t kBankGapSectors = 100;
constexpr uint32_t kRecordsPerBank = 8;
constexpr int kBankCount = 4;
constexpr int kSlotCount = 8;
// The sector device takes signed 32-bit byte offsets: nothing past this sector is reachable.
constexpr uint64_t kLastReachableSector = 4194303;

enum class Encoding { Parallel, FourLane, EightLane };

// Data start sector of bank index k, in 64 bits so that a damaged table cannot wrap.
uint64_t BankDataStart(const BankTable& table, int k);
// True when a bank starting at `start` lies where the layout and the device allow.
bool BankStartFits(uint64_t start);

// Byte offsets on the card, signed and in 64 bits so that a damaged start cannot wrap to a
// reachable place: the device refuses what lies outside.
int64_t SectorOffset(uint64_t sector);
int64_t BankSectorOffset(int bank);
// The record of `slot` (0 for File#1) of the bank whose data start at `dataStart`.
int64_t RecordOffset(uint64_t dataStart, int slot);

uint32_t DataSectorCount(uint32_t imageLength);

Encoding EncodingFor(int parallelMode, unsigned slotMask);
// Bytes each slot supplies per chunk: 16384, 4096 or 2048.
uint32_t LaneBytesPerChunk(Encoding encoding);
// The files an encoding draws on at once: 1, 4 or 8.
int LaneCount(Encoding encoding);

SectorBytes BuildBankSector(uint32_t dataSectorCount, uint32_t dataStart, int frequency, int retry,
                            int delay, int parallelMode, unsigned slotMask);

SectorBytes BuildFileRecord(const std::string& fullPath, uint32_t fileLength, const FileTime& time);

uint8_t ReverseBits(uint8_t value);
void ReverseBitsInPlace(uint8_t* bytes, size_t count);

// Builds one 16384-byte chunk of the data image. lanes[n] points at the bytes of slot n + 1
// (16384 for parallel, 4096 for four lanes, 2048 for eight lanes); only lanes[0] is used in
// parallel mode, lanes[0..3] with four lanes, lanes[0..7] with eight.
void EncodeChunk(Encoding encoding, const uint8_t* const lanes[8], uint8_t* chunk);

}  // namespace tavrin
