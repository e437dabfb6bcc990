// SPDX-License-Identifier: Apache-2.0
#include <cstring>

#include "card/CardLayout.h"
#include "disk/AlignedBuffer.h"
#include "disk/Drives.h"
#include "ops/CardRun.h"
#include "ops/OpMessages.h"
#include "ui/text/Texts.h"

namespace {

constexpr uint64_t kReachableSectors = kLastReachableSector + 1;

class ProgramRun : CardRun {
public:
    using CardRun::CardRun;

    bool Run() {
        return CheckSlots() && OpenCard() && LoadFiles() && CheckRoom() && ConfirmOverrun() && ClearDrive() &&
               ReopenCard() && ZeroLaterBanks() && WriteData() && WriteRecords() && WriteBankSector();
    }

private:
    bool OpenCard() {
        drive_ = context_.card.Drive();
        SectorBytes sector{};
        if (!OpenCardHeader(device_, drive_, host_, language_, sector)) return false;
        if (HasTavrinSignature(sector.data())) return true;
        if (!host_.InitializeDiskTicked()) {
            Tell(host_, language_, texts::kInitializeFirst, MsgIcon::Warning);
            return false;
        }
        return AskYes(host_, LocalText(language_, texts::kInitializationQuestion));
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

    bool ConfirmOverrun() {
        if (bank_ >= kBankCount - 1) return true;
        const BankTable& banks = context_.card.banks;
        if (!banks.bankPresent[bank_ + 1] || start_ + sectors_ + kBankGapSectors <= banks.bankStart[bank_ + 1]) {
            return true;
        }
        zeroLaterBanks_ = AskYes(host_, texts::kOverrunQuestion);
        return zeroLaterBanks_;
    }

    bool ClearDrive() {
        if (ClearLogicalDrive(drive_) && ClearLogicalDrive(drive_)) return true;
        Tell(host_, language_, texts::kClearLogicalDriveFailed, MsgIcon::Warning);
        return false;
    }

    bool ReopenCard() {
        // Not checked: a device that fails to reopen fails the first write with its address.
        device_.Open(drive_);
        return true;
    }

    bool Write(int64_t offset, const uint8_t* data, uint32_t count) {
        if (device_.Write(offset, data, count)) return true;
        TellAddress(host_, language_, texts::kWriteSectorError, offset);
        return false;
    }

    bool ZeroLaterBanks() {
        if (!zeroLaterBanks_) return true;
        const SectorBytes zero{};
        for (int k = bank_; k < kBankCount; ++k) {
            if (!Write(BankSectorOffset(k), zero.data(), kSectorSize)) return false;
        }
        return true;
    }

    bool WriteData() {
        return ForEachBatch(start_, sectors_, OpButton::Program,
                            [this](const Batch& batch, ChunkSource& source, uint8_t* buffer) {
                                uint32_t built = 0;
                                while (built < batch.chunks && source.Next(buffer + size_t{built} * kChunkSize)) ++built;
                                // What was built before a file gave out goes to the card first, as
                                // it did when every chunk was written on its own.
                                if (!WriteChunks(batch, buffer, built)) return false;
                                return built == batch.chunks || FileFailed(source);
                            });
    }

    bool WriteChunks(const Batch& batch, const uint8_t* buffer, uint32_t count) {
        if (count == 0) return true;
        int64_t failedAt = 0;
        const bool written = device_.WriteInUnits(batch.offset, buffer, count * kChunkSize, kChunkSize, failedAt);
        const auto through = written ? count : static_cast<uint32_t>((failedAt - batch.offset) / kChunkSize);
        for (uint32_t i = 0; i < through; ++i) ChunkDone(batch, i);
        if (!written) TellAddress(host_, language_, texts::kWriteSectorError, failedAt);
        return written;
    }

    // The eight records in one request.
    bool WriteRecords() {
        const int64_t first = RecordOffset(start_, 0);
        AlignedBuffer records(kRecordsPerBank * kSectorSize);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            std::memcpy(records.data() + slot * kSectorSize, files_.Record(slot).data(), kSectorSize);
        }
        int64_t failedAt = 0;
        if (device_.WriteInUnits(first, records.data(), records.size(), kSectorSize, failedAt)) return true;
        TellAddress(host_, language_, texts::kWriteSectorError, failedAt);
        return false;
    }

    // The bank sector makes the bank present, so the data and records must be on the medium
    // first; and nothing is reported as programmed before the bank sector is there too.
    bool Flush(int64_t offset) {
        if (device_.Flush()) return true;
        TellAddress(host_, language_, texts::kWriteSectorError, offset);
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
