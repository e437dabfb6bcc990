#include <cstring>
#include <vector>

#include "card/CardLayout.h"
#include "ops/ChunkSource.h"
#include "ops/DeviceSession.h"
#include "ops/LoadedFiles.h"
#include "ops/OpMessages.h"
#include "ops/Operations.h"
#include "ops/OperationStart.h"
#include "ui/text/Texts.h"

namespace {

// Bytes of a file record that Verify compares: name, length, date and the time up to the tens
// of minutes.
constexpr size_t kComparedRecordBytes = 284;

uint32_t ReadLe32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 | uint32_t{bytes[3]} << 24;
}

class VerifyRun {
public:
    VerifyRun(OperationHost& host, OperationContext& context)
        : host_(host), context_(context), language_(context.operation.language), device_(context.makeDevice) {}

    bool Run() {
        if (!CheckUsedSlots(host_, State(), language_, slotMask_) || !OpenCard() || !ReadBankSector()) return false;
        if (!files_.Load(State().fileName, slotMask_, context_.openFile, language_, host_)) return false;
        if (!CheckRecords() || !CheckSectorCount() || !CompareData()) return false;
        ShowProgress(host_, OpButton::Verify, 100);
        return true;
    }

private:
    const WindowState& State() const { return context_.state; }

    bool OpenCard() {
        SectorBytes sector{};
        if (!OpenCardHeader(device_, context_.card.Drive(), host_, language_, sector)) return false;
        if (!HasTavrinSignature(sector.data())) {
            Tell(host_, language_, texts::kNotTavrinFormat, MsgIcon::Error);
            return false;
        }
        return true;
    }

    bool ReadSector(int64_t offset, uint8_t* into, uint32_t count) {
        if (device_.Read(offset, into, count)) return true;
        TellAddress(host_, language_, texts::kReadSectorError, offset);
        return false;
    }

    bool ReadBankSector() {
        SectorBytes sector{};
        if (!ReadSector(int64_t{context_.card.BankIndex()} * kSectorSize, sector.data(), kSectorSize)) return false;
        start_ = ReadLe32(sector.data() + 8);
        sectors_ = ReadLe32(sector.data() + 12);
        return true;
    }

    bool Mismatch() {
        Tell(host_, language_, texts::kVerifyFailed, MsgIcon::Error);
        return false;
    }

    bool CheckRecords() {
        const int64_t first = (int64_t{start_} - kRecordsPerBank) * kSectorSize;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            SectorBytes onCard{};
            if (!ReadSector(first + int64_t{slot} * kSectorSize, onCard.data(), kSectorSize)) return false;
            SectorBytes expected{};
            if (files_.Used(slot)) {
                const LoadedFile& info = files_.Info(slot);
                expected = BuildFileRecord(files_.Name(slot), info.fileLength, info.modified);
            }
            if (std::memcmp(onCard.data(), expected.data(), kComparedRecordBytes) != 0) return Mismatch();
        }
        return true;
    }

    bool CheckSectorCount() {
        // A count that differs from the files' would leave part of the image uncompared.
        if (sectors_ != ImageSectorCount(files_.ImageLength(State().parallelMode))) return Mismatch();
        return true;
    }

    bool CompareData() {
        ChunkSource source(files_, State().parallelMode);
        std::vector<uint8_t> expected(kChunkSize);
        std::vector<uint8_t> onCard(kChunkSize);
        const int64_t base = int64_t{start_} * kSectorSize;
        for (uint64_t sector = 0; sector < sectors_; sector += kChunkSectors) {
            if (!source.Next(expected.data())) {
                TellName(host_, language_, texts::kBitFileError, files_.Name(source.FailedSlot()));
                return false;
            }
            const int64_t offset = base + static_cast<int64_t>(sector) * kSectorSize;
            if (!ReadSector(offset, onCard.data(), kChunkSize)) return false;
            if (std::memcmp(expected.data(), onCard.data(), kChunkSize) != 0) return Mismatch();
            ShowProgress(host_, OpButton::Verify, static_cast<int>((sector + kChunkSectors) * 100 / sectors_));
        }
        files_.CloseAll();
        device_.Close();
        return true;
    }

    OperationHost& host_;
    OperationContext& context_;
    const int language_;
    DeviceSession device_;
    LoadedFiles files_;
    unsigned slotMask_ = 0;
    uint32_t start_ = 0;
    uint32_t sectors_ = 0;
};

}  // namespace

bool VerifyCard(OperationHost& host, OperationContext& context) { return VerifyRun(host, context).Run(); }
