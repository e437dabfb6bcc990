// SPDX-License-Identifier: Apache-2.0
#include "ops/LoadedFiles.h"

#include <algorithm>

#include "card/CardLayout.h"
#include "ops/OpMessages.h"
#include "text/Texts.h"

namespace tavrin {

bool LoadedFiles::Load(const std::array<std::string, 8>& names, unsigned slotMask, const FileOpener& open,
                       int language, MessageBoxHost& host) {
    CloseAll();
    mask_ = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!((slotMask >> slot) & 1u)) continue;
        files_[slot] = open(names[slot]);
        if (!files_[slot]) {
            CloseAll();
            TellName(host, language, texts::kCannotOpenFile, names[slot]);
            return false;
        }
        names_[slot] = names[slot];
        mask_ |= 1u << slot;
        if (!LoadConfigurationFile(*files_[slot], names[slot], info_[slot])) {
            CloseAll();
            TellName(host, language, texts::kBitFileError, names[slot]);
            return false;
        }
    }
    return true;
}

void LoadedFiles::CloseAll() {
    for (auto& file : files_) file.reset();
}

SectorBytes LoadedFiles::Record(int slot) const {
    if (!Used(slot)) return SectorBytes{};
    return BuildFileRecord(names_[slot], info_[slot].fileLength, info_[slot].modified);
}

uint64_t LoadedFiles::ImageLength(int parallelMode) const {
    if (parallelMode) return Used(0) ? info_[0].dataLength : 0;
    uint64_t longest = 0;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (Used(slot)) longest = std::max<uint64_t>(longest, info_[slot].dataLength);
    }
    return longest * (EncodingFor(0, mask_) == Encoding::EightLane ? 8 : 4);
}

uint64_t ImageSectorCount(uint64_t imageLength) {
    if (imageLength > UINT32_MAX) return kNoRoom;
    return DataSectorCount(static_cast<uint32_t>(imageLength));
}

}  // namespace tavrin
