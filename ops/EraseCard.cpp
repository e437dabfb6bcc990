// SPDX-License-Identifier: Apache-2.0
#include <vector>

#include "card/CardLayout.h"
#include "disk/Drives.h"
#include "ops/DeviceSession.h"
#include "ops/OpMessages.h"
#include "ops/CardRun.h"
#include "ops/Operations.h"
#include "ui/text/Texts.h"

namespace {

constexpr uint32_t kEraseChunkBytes = 524288;
constexpr uint32_t kEraseChunkSectors = kEraseChunkBytes / kSectorSize;
// Erase speaks English whatever the language.
constexpr int kEnglish = 0;

void Fail(OperationHost& host, const char* text) { host.ShowMessage(text, MsgButtons::Ok, MsgIcon::Error); }

// Nothing is reported erased before the zeros are on the medium.
bool Flushed(OperationHost& host, DeviceSession& device, const char* failure) {
    if (device.Flush()) return true;
    Fail(host, failure);
    return false;
}

bool ConfirmCard(OperationHost& host, const SectorBytes& sector) {
    if (HasTavrinSignature(sector.data())) return true;
    if (!host.InitializeDiskTicked()) {
        host.ShowMessage(texts::kEraseNotTavrin, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    return AskYes(host, texts::kEraseAnyway);
}

bool QuickErase(OperationHost& host, DeviceSession& device) {
    if (!AskYes(host, texts::kQuickEraseQuestion)) return false;
    const SectorBytes zero{};
    for (int k = 0; k < kBankCount; ++k) {
        if (!device.Write(BankSectorOffset(k), zero.data(), kSectorSize)) {
            Fail(host, texts::kQuickEraseFailed);
            return false;
        }
        ShowProgress(host, OpButton::Erase, 25 * (k + 1));
    }
    return Flushed(host, device, texts::kQuickEraseFailed);
}

bool FullErase(OperationHost& host, DeviceSession& device, uint32_t sectorCount) {
    if (!AskYes(host, texts::kEraseQuestion)) return false;
    const std::vector<uint8_t> zero(kEraseChunkBytes, 0);
    const uint64_t chunks = sectorCount / kEraseChunkSectors;
    for (uint64_t i = 0; i < chunks; ++i) {
        if (!device.Write(static_cast<int64_t>(i * kEraseChunkBytes), zero.data(), kEraseChunkBytes)) {
            Fail(host, texts::kEraseFailed);
            return false;
        }
        ShowProgress(host, OpButton::Erase, static_cast<int>(100 * (i + 1) / chunks));
    }
    return Flushed(host, device, texts::kEraseFailed);
}

}  // namespace

int EraseCard(OperationHost& host, OperationContext& context) {
    DeviceSession device(context.makeDevice);
    const int drive = context.card.Drive();
    const uint32_t sectorCount = DiskSectorCount(drive);
    SectorBytes header{};
    if (!OpenCardHeader(device, drive, host, kEnglish, header) || !ConfirmCard(host, header)) return 0;
    const bool erased = context.operation.quickErase ? QuickErase(host, device) : FullErase(host, device, sectorCount);
    return erased ? 1 : 0;
}
