#include "ops/OperationStart.h"

#include "card/FileNameCheck.h"
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
