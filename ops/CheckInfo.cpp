// SPDX-License-Identifier: Apache-2.0
#include "ops/CheckInfo.h"

#include <cstring>

#include "card/CardLayout.h"
#include "disk/AlignedBuffer.h"
#include "ops/BankInfoRows.h"
#include "ops/DeviceSession.h"
#include "ops/FileNameCheck.h"
#include "ops/LoadedFiles.h"
#include "ops/OpMessages.h"
#include "ops/Operations.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

void PutRow(std::array<std::string, 8>& name, std::array<std::string, 8>& size, std::array<std::string, 8>& date,
            std::array<std::string, 8>& time, int slot, const BankInfoRow& row) {
    name[slot] = row.name;
    size[slot] = row.size;
    date[slot] = row.date;
    time[slot] = row.time;
}

class CheckInfoRun {
public:
    CheckInfoRun(OperationHost& host, OperationContext& context, BankInfoData& info)
        : host_(host), context_(context), info_(info), language_(context.operation.language),
          device_(context.makeDevice) {}

    bool Run() { return ReadCard() && ReadCurrentFiles(); }

private:
    bool CannotView() {
        TellDevice(host_, LocalText(language_, texts::kCannotViewInformation), device_);
        return false;
    }

    bool CannotOpen() {
        TellAccess(host_, language_, texts::kCannotViewInformation, MsgIcon::Error, device_.FailureReason());
        return false;
    }

    bool ReadCard() {
        const int bank = context_.card.BankIndex();
        if (!device_.Open(context_.card.Drive())) return CannotOpen();
        BankTable& banks = context_.card.banks;
        for (int k = 0; k < kBankCount; ++k) {
            SectorBytes sector{};
            if (!device_.Read(BankSectorOffset(k), sector.data(), kSectorSize)) {
                banks.bankPresent[k] = 0;
                return CannotView();
            }
            banks.bankPresent[k] = HasTavrinSignature(sector.data());
        }
        if (!banks.bankPresent[bank]) {
            Tell(host_, language_, texts::kNotTavrinFormat, MsgIcon::Warning);
            return false;
        }
        ReadCardRows(banks.bankStart[bank]);
        ReadCardMode(bank);
        info_.dialogLanguage = language_;
        info_.bankNumber = bank + 1;
        device_.Close();
        return true;
    }

    // The eight records in one request; when that fails, each on its own, so that a record
    // that cannot be read shows as an empty row and only it.
    void ReadCardRows(uint32_t start) {
        cardSlots_ = 0;
        AlignedBuffer records(kRecordsPerBank * kSectorSize);
        const bool together = device_.Read(RecordOffset(start, 0), records.data(), kRecordsPerBank * kSectorSize);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            SectorBytes record{};
            if (together) {
                std::memcpy(record.data(), records.data() + slot * kSectorSize, kSectorSize);
            } else if (!device_.Read(RecordOffset(start, slot), record.data(), kSectorSize)) {
                record.fill(0);
            }
            const BankInfoRow row = CardRow(record);
            if (!row.name.empty()) cardSlots_ |= 1u << slot;
            PutRow(info_.cardFileName, info_.cardSize, info_.cardDate, info_.cardTime, slot, row);
        }
    }

    // An unreadable bank sector counts as serial.
    void ReadCardMode(int bank) {
        SectorBytes sector{};
        const bool read = device_.Read(BankSectorOffset(bank), sector.data(), kSectorSize);
        info_.cardParallelMode =
            read && cardSlots_ == 1u && BankSector::Parse(sector.data()).WidthCode() == kWidestWidthCode;
    }

    bool ReadCurrentFiles() {
        const WindowState& state = context_.state;
        auto mask = CheckFileNames(state.fileName, state.parallelMode, NameCheckForm::ExistenceChecking, language_,
                                   host_);
        if (!mask) return false;
        info_.currentParallelMode = state.parallelMode;
        const unsigned used = state.parallelMode ? (*mask & 1u) : *mask;
        LoadedFiles files;
        if (!files.Load(state.fileName, used, context_.openFile, language_, host_)) return false;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const BankInfoRow row = files.Used(slot) ? CurrentRow(files.Name(slot), files.Info(slot)) : BankInfoRow{};
            PutRow(info_.currentFileName, info_.currentSize, info_.currentDate, info_.currentTime, slot, row);
        }
        return true;
    }

    OperationHost& host_;
    OperationContext& context_;
    BankInfoData& info_;
    const int language_;
    DeviceSession device_;
    unsigned cardSlots_ = 0;
};

}  // namespace

bool CheckInfoCard(OperationHost& host, OperationContext& context, BankInfoData& info) {
    return CheckInfoRun(host, context, info).Run();
}

}  // namespace tavrin
