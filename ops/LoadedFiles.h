// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "card/CardLayout.h"
#include "card/ConfigFile.h"
#include "card/InputFile.h"

namespace tavrin {

class MessageBoxHost;

// The configuration files of one run, opened and loaded; closed when the set goes away.
class LoadedFiles {
public:
    // Opens and loads the files of the slots in the mask, slot 1 first. On the first failure
    // shows its message, closes what was opened and returns false.
    bool Load(const std::array<std::string, 8>& names, unsigned slotMask, const FileOpener& open, int language,
              MessageBoxHost& host);
    // Closes the files; what was loaded about them stays readable.
    void CloseAll();

    unsigned Mask() const { return mask_; }
    bool Used(int slot) const { return (mask_ >> slot) & 1u; }
    InputFile& File(int slot) { return *files_[slot]; }
    const LoadedFile& Info(int slot) const { return info_[slot]; }
    const std::string& Name(int slot) const { return names_[slot]; }

    // The file record of a slot as Program writes it: zero for a slot not in use.
    SectorBytes Record(int slot) const;

    // Length of the data image before padding (64 bits: eight long files overflow 32).
    uint64_t ImageLength(int parallelMode) const;

private:
    std::array<std::unique_ptr<InputFile>, 8> files_;
    std::array<LoadedFile, 8> info_{};
    std::array<std::string, 8> names_;
    unsigned mask_ = 0;
};

// Data sector count of an image; kNoRoom when no card could hold it.
constexpr uint64_t kNoRoom = UINT64_MAX;
uint64_t ImageSectorCount(uint64_t imageLength);

}  // namespace tavrin
