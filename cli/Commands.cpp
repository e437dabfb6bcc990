// SPDX-License-Identifier: Apache-2.0
#include "cli/Commands.h"

#include <unistd.h>

#include <cstdio>

#include "TavrinVersion.h"
#include "card/CardSizes.h"
#include "cli/CliHost.h"
#include "cli/CliTarget.h"
#include "cli/InfoPrinter.h"
#include "disk/DiskLists.h"
#include "disk/Drives.h"
#include "ops/CardRun.h"
#include "ops/OpMessages.h"
#include "ops/Operations.h"
#include "settings/SettingsFile.h"
#include "text/Texts.h"

namespace tavrin {

namespace {

// Prints every message on the terminal; used where no card operation runs.
class PrintingHost : public MessageBoxHost {
public:
    MsgAnswer ShowMessage(const std::string& text, MsgButtons, MsgIcon icon) override {
        std::fprintf(icon == MsgIcon::Information ? stdout : stderr, "%s\n", text.c_str());
        return MsgAnswer::Ok;
    }
};

// What loading a settings file that does not exist gives.
void MissingFileDefaults(OperationContext& context) {
    context.operation = {0, 0, 1};
    context.hardware = {2, 0, 4, 0};
}

void Override(int& value, const std::optional<int>& given) {
    if (given) value = *given;
}

// The settings file named by --settings, when given: false after its message.
bool LoadSettingsFile(const CliArguments& a, OperationContext& context) {
    if (a.settingsFile.empty()) return true;
    PrintingHost printer;
    if (!SettingsFileReadable(a.settingsFile)) {
        printer.ShowMessage(LocalText(context.operation.language, texts::kTvsFileNotFound), MsgButtons::Ok,
                            MsgIcon::Error);
        return false;
    }
    // A card is not written with values that the file did not really give.
    return LoadSettings(a.settingsFile, context.state, context.operation, context.hardware, printer);
}

void ApplyCommandLine(const CliArguments& a, OperationContext& context) {
    Override(context.operation.language, a.language);
    Override(context.operation.autoVerify, a.autoVerify);
    Override(context.operation.quickErase, a.quickErase);
    Override(context.hardware.frequency, a.frequency);
    Override(context.hardware.hiSpeed, a.hiSpeed);
    Override(context.hardware.retry, a.retry);
    Override(context.hardware.delay, a.delay);
    Override(context.state.parallelMode, a.parallelMode);
    for (size_t slot = 0; slot < a.files.size(); ++slot) context.state.fileName[slot] = a.files[slot];
}

std::string BankListText(const ListModel& list) {
    std::string text;
    for (const ListEntry& entry : list.entries) text += (text.empty() ? "" : ", ") + entry.text;
    return text;
}

// The bank list offers the present banks and the first absent one; nothing else is chosen.
bool SelectBank(int bank, OperationContext& context) {
    RescanBanks(context.card, context.makeDevice);
    const ListModel& list = context.card.bankList;
    if (bank - 1 >= static_cast<int>(list.entries.size())) {
        std::fprintf(stderr, "Bank %d cannot be selected on this card: the bank list holds %s.\n", bank,
                     BankListText(list).c_str());
        return false;
    }
    context.card.bankList.selected = bank - 1;
    return true;
}

// Verify and Info read a bank that is there; said before anything is read from it.
bool BankOnCard(CliCommand command, int bank, const OperationContext& context) {
    if (command == CliCommand::Program || bank == 1 || context.card.banks.bankPresent[bank - 1]) return true;
    std::fprintf(stderr, "Bank %d is not on this card\n", bank);
    return false;
}

bool RunOperation(CliCommand command, CliHost& host, OperationContext& context) {
    switch (command) {
        case CliCommand::Program: return OnProgram(host, context);
        case CliCommand::Verify: return OnVerify(host, context);
        case CliCommand::Info: return OnCheckInfo(host, context);
        default: return OnErase(host, context);
    }
}

int RunCardCommand(const CliArguments& a) {
    OperationContext context;
    MissingFileDefaults(context);
    Override(context.operation.language, a.language);
    if (!LoadSettingsFile(a, context)) return kExitFailed;
    ApplyCommandLine(a, context);
    if (context.hardware.frequency == 3 && !context.hardware.hiSpeed) {
        return UsageError("frequency 3 needs --hi-speed");
    }
    const ResolvedTarget target = ResolveTarget(a.disk);
    if (target.drive < 0) {
        std::fprintf(stderr, "tavrin-cli: %s\n", target.error.c_str());
        return kExitFailed;
    }
    auto counter = std::make_shared<TransferCounter>();
    context.makeDevice = CountingDeviceFactory(CreateSectorDevice, counter);
    // The whole run is one operation: the list and the bank choice read what it reads, under
    // the hold it keeps on the card.
    HoldCardQuietly(context, target.drive);
    const HeaderReadScope reads(context);
    context.card.diskList = SingleTargetList(target.drive, context.makeDevice);
    if (a.command != CliCommand::Erase && (!SelectBank(a.bank, context) || !BankOnCard(a.command, a.bank, context))) {
        return kExitFailed;
    }

    const bool tsv = a.tsv;
    CliHost host({a.yes, isatty(STDIN_FILENO) == 1}, a.initializeDisk,
                 std::make_unique<ProgressLine>(isatty(STDERR_FILENO) == 1, counter),
                 [tsv](const BankInfoData& info) { (tsv ? PrintBankInfoTsv : PrintBankInfo)(stdout, info); });
    host.Controls() = context.state;
    if (RunOperation(a.command, host, context)) return kExitDone;
    return host.AnsweredNo() ? kExitAnsweredNo : kExitFailed;
}

int RunList(bool tsv) {
    const ListModel list = BuildDiskList(CreateSectorDevice, -1);
    if (list.entries.empty()) std::fprintf(stderr, "No removable disk found.\n");
    // A card this user may not open is left out when the desktop's disk service cannot help.
    if (const std::string advice = AccessAdvice(0); !advice.empty()) {
        std::fprintf(stderr, "%s\n", advice.c_str());
    }
    for (const ListEntry& entry : list.entries) {
        const uint64_t bytes = uint64_t{DiskSectorCount(entry.itemData)} * kSectorSize;
        const std::string size = tsv ? std::to_string(bytes) : ByteSizeText(bytes);
        std::printf("%d\t%s\t%s\t%s\n", entry.itemData, entry.text.c_str(), DrivePath(entry.itemData).c_str(),
                    size.c_str());
    }
    return kExitDone;
}

int RunSettings(const CliArguments& a) {
    OperationContext context;
    Override(context.operation.language, a.language);
    PrintingHost printer;
    const std::string& path = a.files.front();
    if (!SettingsFileReadable(path)) {
        printer.ShowMessage(LocalText(context.operation.language, texts::kTvsFileNotFound), MsgButtons::Ok,
                            MsgIcon::Error);
        return kExitFailed;
    }
    const bool good = LoadSettings(path, context.state, context.operation, context.hardware, printer);
    for (const auto& [key, value] : SettingsKeyValues(context.state, context.operation, context.hardware)) {
        std::printf("%s=%s\n", key.c_str(), value.c_str());
    }
    return good ? kExitDone : kExitFailed;
}

}  // namespace

int UsageError(const std::string& error) {
    std::fprintf(stderr, "tavrin-cli: %s\n%s", error.c_str(), UsageText());
    return kExitUsage;
}

int RunCommand(const CliArguments& a) {
    switch (a.command) {
        case CliCommand::Help:
            std::fputs(HelpText(), stdout);
            return kExitDone;
        case CliCommand::Version:
            std::printf("tavrin-cli %s\n", kTavrinVersion);
            return kExitDone;
        case CliCommand::List: return RunList(a.tsv);
        case CliCommand::Settings: return RunSettings(a);
        default: return RunCardCommand(a);
    }
}

}  // namespace tavrin
