// SPDX-License-Identifier: Apache-2.0
#include "cli/CliHost.h"

#include <cstdio>

#include "card/CardLayout.h"
#include "text/LocalText.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

// One line without its end; stdio rather than iostreams, whose set-up every run would pay for.
std::string ReadLine(std::FILE* in) {
    std::string line;
    for (int c = std::fgetc(in); c != EOF && c != '\n'; c = std::fgetc(in)) line += static_cast<char>(c);
    return line;
}

bool IsYes(const std::string& reply) { return reply == "y" || reply == "Y" || reply == "yes" || reply == "Yes"; }

}  // namespace

CliHost::CliHost(Answers answers, bool initializeDisk, std::unique_ptr<ProgressLine> progress,
                 std::function<void(const BankInfoData&)> showInfo)
    : answers_(answers), initializeDisk_(initializeDisk), progress_(std::move(progress)), showInfo_(std::move(showInfo)) {}

MsgAnswer CliHost::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    progress_->Finish();
    if (buttons != MsgButtons::Ok) {
        const MsgAnswer answer = Ask(text, buttons);
        answeredNo_ = answeredNo_ || answer == MsgAnswer::No || answer == MsgAnswer::Cancel;
        return answer;
    }
    std::FILE* out = icon == MsgIcon::Information ? stdout : stderr;
    std::fprintf(out, "%s\n", text.c_str());
    // The window's checkbox is --init here.
    const bool namesTheBox = text == texts::kInitializeFirst.english || text == texts::kInitializeFirst.japanese ||
                             text == texts::kEraseNotTavrin;
    if (namesTheBox) std::fprintf(stderr, "tavrin-cli: --init allows a card that is not in Tavrin format\n");
    std::fflush(out);
    return MsgAnswer::Ok;
}

MsgAnswer CliHost::Ask(const std::string& text, MsgButtons buttons) {
    const MsgAnswer yes = buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    const MsgAnswer no = buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    std::fprintf(stderr, "%s\n", text.c_str());
    if (answers_.assumeYes) {
        std::fprintf(stderr, "[y/N] yes (--yes)\n");
        return yes;
    }
    if (!answers_.interactive) {
        std::fprintf(stderr, "[y/N] no (standard input is not a terminal; --yes answers Yes)\n");
        return no;
    }
    std::fprintf(stderr, "[y/N] ");
    std::fflush(stderr);
    return IsYes(ReadLine(stdin)) ? yes : no;
}

void CliHost::ShowDetail(const std::string& detail) {
    progress_->Finish();
    std::fprintf(stderr, "tavrin-cli: %s\n", detail.c_str());
}

ListModel SingleTargetList(int drive, const DeviceFactory& makeDevice) {
    bool tavrin = false;
    if (auto device = makeDevice(); device && device->OpenToLook(drive)) {
        SectorBytes sector{};
        tavrin = device->Read(0, sector.data(), kSectorSize) && HasTavrinSignature(sector.data());
        device->Close();
    }
    ListModel list;
    list.entries.push_back({FormatText(tavrin ? texts::kTavrinDiskEntry : texts::kDiskEntry, drive), drive});
    list.selected = 0;
    return list;
}

}  // namespace tavrin
