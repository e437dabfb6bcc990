// SPDX-License-Identifier: Apache-2.0
#include "ops/CardRun.h"

#include <algorithm>

#include "disk/AlignedBuffer.h"
#include "disk/Drives.h"
#include "ops/FileNameCheck.h"
#include "ops/OpMessages.h"
#include "text/Texts.h"

namespace tavrin {

const char* const kNotWritable = "it cannot be opened for writing: in use, mounted or write-protected";

bool CheckUsedSlots(MessageBoxHost& host, const WindowState& state, int language, unsigned& slotMask) {
    auto mask = CheckFileNames(state.fileName, state.parallelMode, NameCheckForm::ExistenceChecking, language, host);
    if (!mask) return false;
    slotMask = state.parallelMode ? (*mask & 1u) : *mask;
    if (slotMask) return true;
    Tell(host, language, state.parallelMode ? texts::kSpecifyFile1 : texts::kSpecifyFiles, MsgIcon::Warning);
    return false;
}

bool CannotOpenDisk(OperationHost& host, int language, const std::string& reason) {
    TellAccess(host, language, texts::kCannotOpenDisk, MsgIcon::Error, reason);
    return false;
}

bool CannotOpenDisk(OperationHost& host, int language, const DeviceSession& device, const std::string& what) {
    const std::string why = device.FailureReason();
    return CannotOpenDisk(host, language, what.empty() || why.empty() ? what + why : what + " (" + why + ")");
}

void HoldCardQuietly(OperationContext& context, int drive) {
    if (context.frameClaimDrive == drive) return;
    // What was read before the card was ours may have changed since.
    if (context.headerReads) context.headerReads->Forget();
    context.frameClaimDrive = drive;
    context.frameClaim = context.claimDrive ? std::shared_ptr<DriveClaim>(context.claimDrive(drive).claim) : nullptr;
}

std::shared_ptr<DriveClaim> ClaimCard(OperationHost& host, OperationContext& context, int drive, int language) {
    if (context.frameClaim && context.frameClaimDrive == drive) return context.frameClaim;
    if (context.headerReads) context.headerReads->Forget();
    ClaimAttempt attempt = context.claimDrive ? context.claimDrive(drive) : ClaimAttempt{};
    if (attempt.claim) return std::move(attempt.claim);
    CannotOpenDisk(host, language, attempt.reason);
    return nullptr;
}

bool OpenCardHeader(DeviceSession& device, int drive, OperationHost& host, int language, SectorBytes& header,
                    bool forWriting) {
    if (!(forWriting ? device.OpenForWriting(drive) : device.Open(drive))) {
        return CannotOpenDisk(host, language, device, forWriting ? kNotWritable : "");
    }
    if (!device.Read(0, header.data(), kSectorSize)) {
        TellDevice(host, LocalText(language, texts::kCannotReadDisk), device);
        return false;
    }
    return true;
}

bool CardRun::ForEachBatch(uint64_t start, uint64_t sectors, OpButton button, const BatchUse& use,
                           uint32_t leadBytes) {
    ChunkSource source(files_, State().parallelMode);
    const uint64_t chunks = (sectors + kChunkSectors - 1) / kChunkSectors;
    const uint32_t batchChunks = std::max<uint32_t>(1, TransferBytes(context_.card.Drive()) / kChunkSize);
    AlignedBuffer room(leadBytes + std::min<uint64_t>(chunks, batchChunks) * kChunkSize,
                       AlignedBuffer::Contents::Overwritten);
    uint8_t* const buffer = room.data() + leadBytes;
    walkButton_ = button;
    walkSectors_ = sectors;
    const int64_t base = SectorOffset(start);
    for (uint64_t first = 0; first < chunks; first += batchChunks) {
        const Batch batch{base + static_cast<int64_t>(first * kChunkSize), first,
                          static_cast<uint32_t>(std::min<uint64_t>(batchChunks, chunks - first))};
        if (!use(batch, source, buffer)) return false;
    }
    ShowProgress(host_, button, 100);
    files_.CloseAll();
    return true;
}

void CardRun::ChunkDone(const Batch& batch, uint32_t index) {
    const uint64_t sectorsDone = (batch.firstChunk + index + 1) * kChunkSectors;
    ShowProgress(host_, walkButton_, static_cast<int>(sectorsDone * 100 / walkSectors_));
}

bool CardRun::NextChunk(ChunkSource& source, uint8_t* chunk) { return source.Next(chunk) || FileFailed(source); }

bool CardRun::FileFailed(const ChunkSource& source) {
    TellName(host_, language_, texts::kBitFileError, files_.Name(source.FailedSlot()));
    return false;
}

}  // namespace tavrin
