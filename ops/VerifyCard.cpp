// SPDX-License-Identifier: Apache-2.0
#include <cstring>

#include "card/CardLayout.h"
#include "disk/AlignedBuffer.h"
#include "ops/CardRun.h"
#include "ops/OpMessages.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

class VerifyRun : CardRun {
public:
    using CardRun::CardRun;

    bool Run() {
        if (!CheckSlots() || !Claim() || !OpenCard() || !ReadBankSector() || !LoadFiles()) return false;
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
        TellAddress(host_, language_, texts::kReadSectorError, offset, device_);
        return false;
    }

    bool ReadBankSector() {
        SectorBytes sector{};
        if (!Read(BankSectorOffset(context_.card.BankIndex()), sector.data(), kSectorSize)) return false;
        const BankSector bank = BankSector::Parse(sector.data());
        start_ = bank.dataStart;
        sectors_ = bank.dataSectorCount;
        widthCode_ = static_cast<unsigned>(bank.WidthCode());
        return true;
    }

    bool Mismatch() {
        Tell(host_, language_, texts::kVerifyFailed, MsgIcon::Error);
        return false;
    }

    // The eight records in one request; a request that fails is made again record by record, as
    // they were read before, so that the message names the record.
    bool CheckRecords() {
        const int64_t first = RecordOffset(start_, 0);
        AlignedBuffer onCard(kRecordsPerBank * kSectorSize);
        const bool allRead = device_.Read(first, onCard.data(), onCard.size());
        for (int slot = 0; slot < kSlotCount; ++slot) {
            uint8_t* record = onCard.data() + slot * kSectorSize;
            if (!allRead && !Read(RecordOffset(start_, slot), record, kSectorSize)) return false;
            if (!RecordsAgree(record, files_.Record(slot).data())) return Mismatch();
        }
        return true;
    }

    bool CheckSectorCount() {
        // A count that differs from the files' would leave part of the image uncompared; a width
        // code that differs has the board read the data in another layout.
        if (sectors_ != ImageSectorCount(files_.ImageLength(State().parallelMode))) return Mismatch();
        if (widthCode_ != static_cast<unsigned>(WidthCode(State().parallelMode, slotMask_))) return Mismatch();
        return true;
    }

    // Each batch is read in one request, then compared chunk by chunk as the chunks are built;
    // a batch that failed is read again chunk by chunk, so that the message names the chunk.
    bool CompareData() {
        AlignedBuffer expected(kChunkSize);
        return ForEachBatch(start_, sectors_, OpButton::Verify,
                            [&](const Batch& batch, ChunkSource& source, uint8_t* onCard) {
                                const bool batchRead = device_.Read(batch.offset, onCard, batch.chunks * kChunkSize);
                                for (uint32_t i = 0; i < batch.chunks; ++i) {
                                    if (!NextChunk(source, expected.data())) return false;
                                    uint8_t* chunk = onCard + size_t{i} * kChunkSize;
                                    const int64_t offset = batch.offset + int64_t{i} * kChunkSize;
                                    if (!batchRead && !Read(offset, chunk, kChunkSize)) return false;
                                    if (std::memcmp(expected.data(), chunk, kChunkSize) != 0) return Mismatch();
                                    ChunkDone(batch, i);
                                }
                                return true;
                            });
    }

    uint32_t start_ = 0;
    uint32_t sectors_ = 0;
    unsigned widthCode_ = 0;
};

}  // namespace

bool VerifyCard(OperationHost& host, OperationContext& context) { return VerifyRun(host, context).Run(); }

}  // namespace tavrin
