// SPDX-License-Identifier: Apache-2.0
#include <algorithm>

#include "card/CardLayout.h"
#include "disk/AlignedBuffer.h"
#include "disk/Drives.h"
#include "ops/CardRun.h"
#include "ops/DeviceSession.h"
#include "ops/OpMessages.h"
#include "ops/Operations.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

// Progress counts in erase units; each request carries as many as the drive takes best.
constexpr uint32_t kEraseUnitSectors = kEraseUnitBytes / kSectorSize;
// Erase speaks English whatever the language.
constexpr int kEnglish = 0;

bool Fail(OperationHost& host, const char* text, const DeviceSession& device) {
    TellDevice(host, text, device);
    return false;
}

// Nothing is reported erased before the zeros are on the medium.
bool Flushed(OperationHost& host, DeviceSession& device, const char* failure) {
    return device.Flush() || Fail(host, failure, device);
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
        if (!device.Write(BankSectorOffset(k), zero.data(), kSectorSize)) return Fail(host, texts::kQuickEraseFailed, device);
        ShowProgress(host, OpButton::Erase, 25 * (k + 1));
    }
    return Flushed(host, device, texts::kQuickEraseFailed);
}

bool FullErase(OperationHost& host, DeviceSession& device, int drive, uint32_t sectorCount) {
    if (!AskYes(host, texts::kEraseQuestion)) return false;
    const uint64_t units = sectorCount / kEraseUnitSectors;
    const uint32_t batchUnits = std::max<uint32_t>(1, TransferBytes(drive) / kEraseUnitBytes);
    const AlignedBuffer zero(std::min<uint64_t>(units, batchUnits) * kEraseUnitBytes);
    for (uint64_t first = 0; first < units; first += batchUnits) {
        const auto count = static_cast<uint32_t>(std::min<uint64_t>(batchUnits, units - first));
        const auto offset = static_cast<int64_t>(first * kEraseUnitBytes);
        int64_t failedAt = 0;
        const bool written = device.WriteInUnits(offset, zero.data(), count * kEraseUnitBytes, kEraseUnitBytes, failedAt);
        const uint64_t through = written ? first + count : static_cast<uint64_t>(failedAt) / kEraseUnitBytes;
        for (uint64_t i = first; i < through; ++i) ShowProgress(host, OpButton::Erase, static_cast<int>(100 * (i + 1) / units));
        if (!written) return Fail(host, texts::kEraseFailed, device);
    }
    return Flushed(host, device, texts::kEraseFailed);
}

}  // namespace

int EraseCard(OperationHost& host, OperationContext& context) {
    const int drive = context.card.Drive();
    const std::shared_ptr<DriveClaim> claim = ClaimCard(host, context, drive, kEnglish);
    if (!claim) return 0;
    DeviceSession device(context.makeDevice);
    const uint32_t sectorCount = DiskSectorCount(drive);
    SectorBytes header{};
    if (!OpenCardHeader(device, drive, host, kEnglish, header, true) || !ConfirmCard(host, header)) return 0;
    const bool erased = context.operation.quickErase ? QuickErase(host, device) : FullErase(host, device, drive, sectorCount);
    return erased ? 1 : 0;
}

}  // namespace tavrin
