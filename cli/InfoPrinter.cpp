// SPDX-License-Identifier: Apache-2.0
#include "cli/InfoPrinter.h"

#include <algorithm>
#include <string>

#include "text/LocalText.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

struct Side {
    const char* tsvName;
    std::string title;
    int parallelMode;
    const std::array<std::string, 8>& name;
    const std::array<std::string, 8>& size;
    const std::array<std::string, 8>& date;
    const std::array<std::string, 8>& time;
};

Side CardSide(const BankInfoData& info) {
    return {"card", "microSD", info.cardParallelMode, info.cardFileName, info.cardSize, info.cardDate, info.cardTime};
}

Side CurrentSide(const BankInfoData& info) {
    return {"current", LocalText(info.dialogLanguage, texts::kCurrentSourceFiles), info.currentParallelMode,
            info.currentFileName, info.currentSize, info.currentDate, info.currentTime};
}

const char* ModeText(int language, int parallelMode) {
    return LocalText(language, parallelMode ? texts::kParallelMode : texts::kSerialMode);
}

// Text from a card may hold anything: control bytes would break the columns, the tab-separated
// lines or the terminal.
std::string Printable(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    }
    return out;
}

// Characters on screen, counting a UTF-8 sequence as one.
size_t Columns(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string Pad(const std::string& text, size_t width) {
    const size_t used = Columns(text);
    return text + std::string(width > used ? width - used : 0, ' ');
}

void PrintSide(std::FILE* out, int language, const Side& side) {
    const std::array<std::string, 4> heads{LocalText(language, texts::kColumnFileName),
                                           LocalText(language, texts::kColumnSize),
                                           LocalText(language, texts::kColumnModifiedDate),
                                           LocalText(language, texts::kColumnModifiedTime)};
    const std::array<const std::array<std::string, 8>*, 4> columns{&side.name, &side.size, &side.date, &side.time};
    std::array<size_t, 4> width{};
    for (size_t c = 0; c < 4; ++c) {
        width[c] = Columns(heads[c]);
        for (const auto& cell : *columns[c]) width[c] = std::max(width[c], Columns(Printable(cell)));
    }
    std::fprintf(out, "%s: %s\n", side.title.c_str(), ModeText(language, side.parallelMode));
    std::string line = "    ";
    for (size_t c = 0; c < 4; ++c) line += Pad(heads[c], width[c] + 2);
    std::fprintf(out, "%s\n", line.substr(0, line.find_last_not_of(' ') + 1).c_str());
    for (int row = 0; row < 8; ++row) {
        line = std::to_string(row + 1) + ".  ";
        for (size_t c = 0; c < 4; ++c) line += Pad(Printable((*columns[c])[row]), width[c] + 2);
        std::fprintf(out, "%s\n", line.substr(0, line.find_last_not_of(' ') + 1).c_str());
    }
}

}  // namespace

void PrintBankInfo(std::FILE* out, const BankInfoData& info) {
    std::fprintf(out, "Bank %d\n\n", info.bankNumber);
    PrintSide(out, info.dialogLanguage, CardSide(info));
    std::fprintf(out, "\n");
    PrintSide(out, info.dialogLanguage, CurrentSide(info));
}

void PrintBankInfoTsv(std::FILE* out, const BankInfoData& info) {
    const Side sides[] = {CardSide(info), CurrentSide(info)};
    for (const Side& side : sides) {
        std::fprintf(out, "mode\t%s\t%s\n", side.tsvName, ModeText(info.dialogLanguage, side.parallelMode));
    }
    for (const Side& side : sides) {
        for (int row = 0; row < 8; ++row) {
            std::fprintf(out, "%s\t%d\t%s\t%s\t%s\t%s\n", side.tsvName, row + 1, Printable(side.name[row]).c_str(),
                         Printable(side.size[row]).c_str(), Printable(side.date[row]).c_str(),
                         Printable(side.time[row]).c_str());
        }
    }
}

}  // namespace tavrin
