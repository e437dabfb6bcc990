// SPDX-License-Identifier: Apache-2.0
#include "ops/FileNameCheck.h"

#include "card/CardLayout.h"
#include "card/NameRules.h"
#include "ops/PosixInputFile.h"
#include "text/MessageBoxHost.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

void ShowError(MessageBoxHost& host, const std::string& text) { host.ShowMessage(text, MsgButtons::Ok, MsgIcon::Error); }

// Checks one non-empty name; shows the message for its first fault.
bool CheckOneName(const std::string& name, int language, MessageBoxHost& host) {
    if (!OpenInputFile(name)) {
        ShowError(host, FormatText(LocalText(language, texts::kFileDoesNotExist), name.c_str()));
        return false;
    }
    if (!HasSupportedExtension(name)) {
        ShowError(host, LocalText(language, texts::kUnsupportedFile));
        return false;
    }
    if (name.size() > kMaxNameBytes) {
        ShowError(host, FormatText(LocalText(language, texts::kFileNameTooLong), static_cast<int>(kMaxNameBytes)));
        return false;
    }
    return true;
}

}  // namespace

std::optional<unsigned> CheckFileNames(const std::array<std::string, 8>& fileName, int parallelMode,
                                       NameCheckForm form, int language, MessageBoxHost& host) {
    unsigned mask = 0;
    if (form == NameCheckForm::Plain) {
        for (int slot = 0; slot < kSlotCount; ++slot)
            if (!fileName[slot].empty()) mask |= 1u << slot;
        return mask;
    }
    const int slotsLookedAt = parallelMode ? 1 : kSlotCount;
    for (int slot = 0; slot < slotsLookedAt; ++slot) {
        if (fileName[slot].empty()) continue;
        if (!CheckOneName(fileName[slot], language, host)) return std::nullopt;
        mask |= 1u << slot;
    }
    return mask;
}

}  // namespace tavrin
