#include <vector>

#include "card/CardLayout.h"
#include "disk/Drives.h"
#include "ops/ChunkSource.h"
#include "ops/DeviceSession.h"
#include "ops/LoadedFiles.h"
#include "ops/OpMessages.h"
#include "ops/Operations.h"
#include "ops/OperationStart.h"
#include "ui/text/Texts.h"

namespace {

constexpr uint64_t kReachableSectors = kLastReachableSector + 1;

class ProgramRun {
public:
    ProgramRun(OperationHost& host, OperationContext& context)
        : host_(host), context_(context), language_(context.operation.language), device_(context.makeDevice) {}

    bool Run() {
        return CheckUsedSlots(host_, State(), language_, slotMask_) && OpenCard() && LoadFiles() && CheckRoom() && ConfirmOverrun() && ClearDrive() &&
               ReopenCard() && ZeroLaterBanks() && WriteData() && WriteRecords() && WriteBankSector();
    }

private:
    const WindowState& State() const { return context_.state; }

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

    bool LoadFiles() {
        bank_ = context_.card.BankIndex();
        start_ = BankDataStart(context_.card.banks, bank_);
        if (!files_.Load(State().fileName, slotMask_, context_.openFile, language_, host_)) return false;
        sectors_ = ImageSectorCount(files_.ImageLength(State().parallelMode));
        return true;
    }

    bool CheckRoom() {
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

    bool WriteSector(int64_t offset, const SectorBytes& sector) {
        if (device_.Write(offset, sector.data(), kSectorSize)) return true;
        TellAddress(host_, language_, texts::kWriteSectorError, offset);
        return false;
    }

    bool ZeroLaterBanks() {
        if (!zeroLaterBanks_) return true;
        const SectorBytes zero{};
        for (int k = bank_; k < kBankCount; ++k) {
            if (!WriteSector(int64_t{k} * kSectorSize, zero)) return false;
        }
        return true;
    }

    bool WriteData() {
        ChunkSource source(files_, State().parallelMode);
        std::vector<uint8_t> chunk(kChunkSize);
        const int64_t base = static_cast<int64_t>(start_) * kSectorSize;
        for (uint64_t sector = 0; sector < sectors_; sector += kChunkSectors) {
            if (!source.Next(chunk.data())) {
                TellName(host_, language_, texts::kBitFileError, files_.Name(source.FailedSlot()));
                return false;
            }
            const int64_t offset = base + static_cast<int64_t>(sector) * kSectorSize;
            if (!device_.Write(offset, chunk.data(), kChunkSize)) {
                TellAddress(host_, language_, texts::kWriteSectorError, offset);
                return false;
            }
            ShowProgress(host_, OpButton::Program, static_cast<int>((sector + kChunkSectors) * 100 / sectors_));
        }
        ShowProgress(host_, OpButton::Program, 100);
        files_.CloseAll();
        return true;
    }

    bool WriteRecords() {
        const int64_t first = static_cast<int64_t>(start_ - kRecordsPerBank) * kSectorSize;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            SectorBytes record{};
            if (files_.Used(slot)) {
                const LoadedFile& info = files_.Info(slot);
                record = BuildFileRecord(files_.Name(slot), info.fileLength, info.modified);
            }
            if (!WriteSector(first + int64_t{slot} * kSectorSize, record)) return false;
        }
        return true;
    }

    bool WriteBankSector() {
        // The slot set is the one whose files were loaded and written, not a fresh name check.
        const HardwareSettings& hw = context_.hardware;
        const SectorBytes sector = BuildBankSector(static_cast<uint32_t>(sectors_), static_cast<uint32_t>(start_),
                                                   hw.frequency, hw.retry, hw.delay, State().parallelMode, slotMask_);
        if (!WriteSector(int64_t{bank_} * kSectorSize, sector)) return false;
        device_.Close();
        return true;
    }

    OperationHost& host_;
    OperationContext& context_;
    const int language_;
    DeviceSession device_;
    LoadedFiles files_;
    unsigned slotMask_ = 0;
    int drive_ = -1;
    int bank_ = 0;
    uint64_t start_ = 0;
    uint64_t sectors_ = 0;
    bool zeroLaterBanks_ = false;
};

}  // namespace

bool ProgramCard(OperationHost& host, OperationContext& context) { return ProgramRun(host, context).Run(); }
