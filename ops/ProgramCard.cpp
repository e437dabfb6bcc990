// SPDX-License-Identifier: Apache-2.0
#include <array>
#include <cstring>

#include "card/CardLayout.h"
#include "disk/AlignedBuffer.h"
#include "disk/Drives.h"
#include "ops/CardRun.h"
#include "ops/OpMessages.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

constexpr uint64_t kReachableSectors = kLastReachableSector + 1;
constexpr uint32_t kBankSectorsBytes = kBankCount * kSectorSize;
constexpr uint32_t kRecordsBytes = kRecordsPerBank * kSectorSize;

// The bank table as the four bank sectors read together say it.
BankTable TableOf(const std::array<uint8_t, kBankSectorsBytes>& sectors) {
    BankTable table;
    for (int k = 0; k < kBankCount; ++k) {
        const BankSector bank = BankSector::Parse(sectors.data() + k * kSectorSize);
        if (!bank.signature) continue;
        table.bankPresent[k] = 1;
        table.bankStart[k] = bank.dataStart;
        table.bankLength[k] = bank.dataSectorCount;
    }
    return table;
}

class ProgramRun : CardRun {
public:
    using CardRun::CardRun;

    bool Run() {
        return CheckSlots() && Claim() && OpenCard() && LoadFiles() && StillTheCard() && CheckRoom() &&
               ConfirmOverrun() && StillTheCard() && ClearDrive() && ReopenCard() && ZeroBankSectors() &&
               WriteData() && WriteBankSector();
    }

private:
    // The bank table that counts is the one read under the hold: the frame's look when the
    // frame held the card already, a fresh read when it had to be claimed here.
    bool OpenCard() {
        drive_ = context_.card.Drive();
        if (!device_.OpenToLook(drive_)) return CannotOpenDisk(host_, language_, device_);
        std::array<uint8_t, kBankSectorsBytes> sectors{};
        if (!device_.Read(0, sectors.data(), kBankSectorsBytes)) {
            TellDevice(host_, LocalText(language_, texts::kCannotReadDisk), device_);
            return false;
        }
        context_.card.banks = TableOf(sectors);
        if (HasTavrinSignature(sectors.data())) return true;
        if (!host_.InitializeDiskTicked()) {
            Tell(host_, language_, texts::kInitializeFirst, MsgIcon::Warning);
            return false;
        }
        return AskYes(host_, LocalText(language_, texts::kInitializationQuestion));
    }

    // Time passes at a question: the path may have been pointed elsewhere meanwhile.
    bool StillTheCard() {
        return DriveStillChosenTarget(drive_) ||
               CannotOpenDisk(host_, language_, "it is no longer the disk or image file that was checked");
    }

    bool CheckRoom() {
        bank_ = context_.card.BankIndex();
        start_ = BankDataStart(context_.card.banks, bank_);
        sectors_ = ImageSectorCount(files_.ImageLength(State().parallelMode));
        device_.Close();
        const uint64_t cardSectors = DiskSectorCount(drive_);
        // A damaged bank table may put the start below the records' place or past what the
        // device reaches: such a bank fits nowhere.
        const bool fits = sectors_ != kNoRoom && BankStartFits(start_) && start_ + sectors_ <= kReachableSectors &&
                          start_ + sectors_ + kBankGapSectors <= cardSectors;
        if (!fits) Tell(host_, language_, texts::kRemainMemory, MsgIcon::Error);
        return fits;
    }

    // Any later present bank counts, not only the next one: on a table with a gap the next
    // bank may be absent while one after it lies in the way.
    bool ConfirmOverrun() {
        const BankTable& banks = context_.card.banks;
        bool overruns = false;
        for (int k = bank_ + 1; k < kBankCount; ++k) {
            overruns = overruns || (banks.bankPresent[k] && start_ + sectors_ + kBankGapSectors > banks.bankStart[k]);
        }
        if (!overruns) return true;
        zeroLaterBanks_ = AskYes(host_, texts::kOverrunQuestion);
        return zeroLaterBanks_;
    }

    bool ClearDrive() {
        if (ClearLogicalDrive(drive_) && ClearLogicalDrive(drive_)) return true;
        TellAccess(host_, language_, texts::kClearLogicalDriveFailed, MsgIcon::Warning);
        return false;
    }

    bool ReopenCard() {
        return device_.OpenForWriting(drive_) || CannotOpenDisk(host_, language_, device_, kNotWritable);
    }

    bool Write(int64_t offset, const uint8_t* data, uint32_t count) {
        if (device_.Write(offset, data, count)) return true;
        TellAddress(host_, language_, texts::kWriteSectorError, offset, device_);
        return false;
    }

    // Before any data: the overrun banks' sectors, and the bank's own when it is present, so
    // that a run cut short leaves the bank absent instead of describing the old files over the
    // new data. On the medium before the first data write.
    bool ZeroBankSectors() {
        const int last = zeroLaterBanks_ ? kBankCount - 1 : context_.card.banks.bankPresent[bank_] ? bank_ : bank_ - 1;
        if (last < bank_) return true;
        const SectorBytes zero{};
        for (int k = bank_; k <= last; ++k) {
            if (!Write(BankSectorOffset(k), zero.data(), kSectorSize)) return false;
        }
        return Flush(BankSectorOffset(bank_));
    }

    // The eight records lie just before the data: they go in front of the first batch, one
    // command fewer on the card.
    bool WriteData() {
        return ForEachBatch(
            start_, sectors_, OpButton::Program,
            [this](const Batch& batch, ChunkSource& source, uint8_t* buffer) {
                uint32_t built = 0;
                while (built < batch.chunks && source.Next(buffer + size_t{built} * kChunkSize)) ++built;
                // What was built before a file gave out goes to the card first, as it did when
                // every chunk was written on its own.
                if (!WriteChunks(batch, buffer, built)) return false;
                return built == batch.chunks || FileFailed(source);
            },
            kRecordsBytes);
    }

    bool WriteChunks(const Batch& batch, uint8_t* buffer, uint32_t count) {
        if (count == 0) return true;
        if (batch.firstChunk == 0) {
            if (WriteWithRecords(buffer, count)) {
                for (uint32_t i = 0; i < count; ++i) ChunkDone(batch, i);
                return true;
            }
            // The records on their own, so that a bad record sector is named as it was before.
            int64_t failedAt = 0;
            if (!device_.WriteInUnits(RecordOffset(start_, 0), buffer - kRecordsBytes, kRecordsBytes, kSectorSize,
                                      failedAt)) {
                TellAddress(host_, language_, texts::kWriteSectorError, failedAt, device_);
                return false;
            }
        }
        int64_t failedAt = 0;
        const bool written = device_.WriteInUnits(batch.offset, buffer, count * kChunkSize, kChunkSize, failedAt);
        const auto through = written ? count : static_cast<uint32_t>((failedAt - batch.offset) / kChunkSize);
        for (uint32_t i = 0; i < through; ++i) ChunkDone(batch, i);
        if (!written) TellAddress(host_, language_, texts::kWriteSectorError, failedAt, device_);
        return written;
    }

    // The records in the room in front of the first batch, and both in one request.
    bool WriteWithRecords(uint8_t* buffer, uint32_t count) {
        uint8_t* records = buffer - kRecordsBytes;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            std::memcpy(records + slot * kSectorSize, files_.Record(slot).data(), kSectorSize);
        }
        return device_.Write(RecordOffset(start_, 0), records, kRecordsBytes + count * kChunkSize);
    }

    // The bank sector makes the bank present, so the data and records must be on the medium
    // first; and nothing is reported as programmed before the bank sector is there too.
    bool Flush(int64_t offset) {
        if (device_.Flush()) return true;
        TellAddress(host_, language_, texts::kWriteSectorError, offset, device_);
        return false;
    }

    bool WriteBankSector() {
        // The slot set is the one whose files were loaded and written, not a fresh name check.
        const HardwareSettings& hw = context_.hardware;
        const SectorBytes sector = BankSector::Make(static_cast<uint32_t>(sectors_), static_cast<uint32_t>(start_),
                                                    hw.frequency, hw.retry, hw.delay, State().parallelMode, slotMask_)
                                       .Build();
        const int64_t offset = BankSectorOffset(bank_);
        if (!Flush(SectorOffset(start_)) || !Write(offset, sector.data(), kSectorSize) ||
            !Flush(offset)) {
            return false;
        }
        device_.Close();
        return true;
    }

    int drive_ = -1;
    int bank_ = 0;
    uint64_t start_ = 0;
    uint64_t sectors_ = 0;
    bool zeroLaterBanks_ = false;
};

}  // namespace

bool ProgramCard(OperationHost& host, OperationContext& context) { return ProgramRun(host, context).Run(); }

}  // namespace tavrin
