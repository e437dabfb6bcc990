// SPDX-License-Identifier: Apache-2.0
#include "ops/CardRun.h"

#include <vector>

#include "card/FileNameCheck.h"
#include "ops/ChunkSource.h"
#include "ops/OpMessages.h"
#include "ui/text/Texts.h"

bool CheckUsedSlots(MessageBoxHost& host, const WindowState& state, int language, unsigned& slotMask) {
    auto mask = CheckFileNames(state.fileName, state.parallelMode, NameCheckForm::ExistenceChecking, language, host);
    if (!mask) return false;
    slotMask = state.parallelMode ? (*mask & 1u) : *mask;
    if (slotMask) return true;
    Tell(host, language, state.parallelMode ? texts::kSpecifyFile1 : texts::kSpecifyFiles, MsgIcon::Warning);
    return false;
}

bool OpenCardHeader(DeviceSession& device, int drive, MessageBoxHost& host, int language, SectorBytes& header) {
    if (!device.Open(drive)) {
        Tell(host, language, texts::kCannotOpenDisk, MsgIcon::Error);
        return false;
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
