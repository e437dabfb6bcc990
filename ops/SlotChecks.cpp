#include "ops/SlotChecks.h"

#include "card/FileNameCheck.h"
#include "ops/OpMessages.h"
#include "ui/text/Texts.h"

std::optional<unsigned> CheckUsedSlots(MessageBoxHost& host, const WindowState& state, int language) {
    auto mask = CheckFileNames(state.fileName, state.parallelMode, NameCheckForm::ExistenceChecking, language, host);
    if (!mask) return std::nullopt;
    const unsigned used = state.parallelMode ? (*mask & 1u) : *mask;
    if (state.parallelMode && !used) {
        Tell(host, language, texts::kSpecifyFile1, MsgIcon::Warning);
        return std::nullopt;
    }
    if (!used) {
        Tell(host, language, texts::kSpecifyFiles, MsgIcon::Warning);
        return std::nullopt;
    }
    return used;
}
