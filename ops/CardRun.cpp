// SPDX-License-Identifier: Apache-2.0
#include "ops/CardRun.h"

#include <vector>

#include "card/FileNameCheck.h"
#include "ops/ChunkSource.h"
#include "ops/OpMessages.h"
#include "ui/text/Texts.h"

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
    Tell(host, language, texts::kCannotOpenDisk, MsgIcon::Error);
    if (!reason.empty()) host.ShowDetail(reason);
    return false;
}

std::shared_ptr<DriveClaim> ClaimCard(OperationHost& host, OperationContext& context, int drive, int language) {
    if (context.frameClaim && context.frameClaimDrive == drive) return context.frameClaim;
    ClaimAttempt attempt = context.claimDrive ? context.claimDrive(drive) : ClaimAttempt{};
    if (attempt.claim) return std::move(attempt.claim);
    CannotOpenDisk(host, language, attempt.reason);
    return nullptr;
}

bool OpenCardHeader(DeviceSession& device, int drive, OperationHost& host, int language, SectorBytes& header,
                    bool forWriting) {
    if (!(forWriting ? device.OpenForWriting(drive) : device.Open(drive))) {
        return CannotOpenDisk(host, language, forWriting ? kNotWritable : "");
    }
    if (!device.Read(0, header.data(), kSectorSize)) {
        Tell(host, language, texts::kCannotReadDisk, MsgIcon::Error);
        return false;
    }
    return true;
}

bool CardRun::ForEachChunk(uint64_t start, uint64_t sectors, OpButton button, const ChunkUse& use) {
    ChunkSource source(files_, State().parallelMode);
    std::vector<uint8_t> chunk(kChunkSize);
    const int64_t base = SectorOffset(start);
    for (uint64_t sector = 0; sector < sectors; sector += kChunkSectors) {
        if (!source.Next(chunk.data())) {
            TellName(host_, language_, texts::kBitFileError, files_.Name(source.FailedSlot()));
            return false;
        }
        if (!use(base + SectorOffset(sector), chunk.data())) return false;
        ShowProgress(host_, button, static_cast<int>((sector + kChunkSectors) * 100 / sectors));
    }
    ShowProgress(host_, button, 100);
    files_.CloseAll();
    return true;
}
