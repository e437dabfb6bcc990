// SPDX-License-Identifier: Apache-2.0
#include <cstring>
#include <vector>

#include "card/CardLayout.h"
#include "ops/CardRun.h"
#include "ops/OpMessages.h"
#include "ui/text/Texts.h"

namespace {

class VerifyRun : CardRun {
public:
    using CardRun::CardRun;

    bool Run() {
        if (!CheckSlots() || !OpenCard() || !ReadBankSector() || !LoadFiles()) return false;
        if (!CheckRecords() || !CheckSectorCount() || !CompareData()) return false;
        device_.Close();
        return true;
    }

private:
    bool OpenCard() {
        SectorBytes sector{};
        if (!OpenCardHeader(device_, context_.card.Drive(), host_, language_, sector)) return false;
        if (HasTavrinSignature(sector.data())) return true;
        Tell(host_, language_, texts::kNotTavrinFormat, MsgIcon::Error);
        return false;
    }

    bool Read(int64_t offset, uint8_t* into, uint32_t count) {
        if (device_.Read(offset, into, count)) return true;
        TellAddress(host_, language_, texts::kReadSectorError, offset);
        return false;
    }

    bool ReadBankSector() {
        SectorBytes sector{};
        if (!Read(BankSectorOffset(context_.card.BankIndex()), sector.data(), kSectorSize)) return false;
        const BankSector bank = BankSector::Parse(sector.data());
        start_ = bank.dataStart;
        sectors_ = bank.dataSectorCount;
        return true;
    }

    bool Mismatch() {
        Tell(host_, language_, texts::kVerifyFailed, MsgIcon::Error);
        return false;
    }

    bool CheckRecords() {
        for (int slot = 0; slot < kSlotCount; ++slot) {
            SectorBytes onCard{};
            if (!Read(RecordOffset(start_, slot), onCard.data(), kSectorSize)) return false;
            if (!RecordsAgree(onCard.data(), files_.Record(slot).data())) return Mismatch();
        }
        return true;
    }

    bool CheckSectorCount() {
        // A count that differs from the files' would leave part of the image uncompared.
        if (sectors_ != ImageSectorCount(files_.ImageLength(State().parallelMode))) return Mismatch();
        return true;
    }

    bool CompareData() {
        std::vector<uint8_t> onCard(kChunkSize);
        return ForEachChunk(start_, sectors_, OpButton::Verify, [&](int64_t offset, const uint8_t* expected) {
            if (!Read(offset, onCard.data(), kChunkSize)) return false;
            return std::memcmp(expected, onCard.data(), kChunkSize) == 0 || Mismatch();
        });
    }

    uint32_t start_ = 0;
    uint32_t sectors_ = 0;
};

}  // namespace

bool VerifyCard(OperationHost& host, OperationContext& context) { return VerifyRun(host, context).Run(); }
