// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <string>

#include "ops/CardSelection.h"
#include "settings/SettingsRecords.h"
#include "text/MessageBoxHost.h"

namespace tavrin {

enum class OpButton { Program, Verify, Erase };

// What Check Info hands to the File Information dialog.
struct BankInfoData {
    int bankNumber = 1;
    int dialogLanguage = 0;
    int cardParallelMode = 0;
    int currentParallelMode = 0;
    std::array<std::string, 8> cardFileName, cardSize, cardDate, cardTime;
    std::array<std::string, 8> currentFileName, currentSize, currentDate, currentTime;
};

// Whoever runs the card operations: the window, the command-line program or a test. The
// operations speak only through it.
class OperationHost : public MessageBoxHost {
public:
    // Progress of the running operation.
    virtual void SetPercentText(OpButton button, const std::string& text) = 0;
    virtual void SetProgress(int percent) = 0;
    virtual void EnableButton(OpButton button, bool enabled) = 0;
    virtual void RepaintNow() = 0;

    // The "Initialize Disk" checkbox, read at the moment it matters.
    virtual bool InitializeDiskTicked() = 0;
    virtual void UntickInitializeDisk() = 0;

    // Data exchange between the controls and the window state.
    virtual void TakeControls(WindowState& state) = 0;
    virtual void PutStateBack(const WindowState& state) = 0;

    // The disk list, bank list or usage bar changed: show them.
    virtual void ShowCardSelection(const CardSelection& selection) = 0;
    // Whether the card is shown again after a successful Program or Erase: the disk list
    // rebuilt, the banks read again. The command line ends there, and spares the card the read.
    virtual bool ShowsCardAfterwards() const { return true; }
    // The disk list is about to be rebuilt after a successful Program or Erase. A host that
    // names its card otherwise than by the list may keep its own.
    virtual void RefreshDiskList(CardSelection& selection, const DeviceFactory& makeDevice) {
        tavrin::RefreshDiskList(selection, makeDevice);
    }

    // Why the failure just shown happened (why a disk could not be opened, what the system said
    // of a failed transfer). The command line prints it on standard error.
    virtual void ShowDetail(const std::string&) {}
    // A failure's message and its detail (empty: none). The window shows both in one message
    // box; by default the detail follows the message.
    virtual void ShowFailure(const std::string& text, MsgIcon icon, const std::string& detail) {
        ShowMessage(text, MsgButtons::Ok, icon);
        if (!detail.empty()) ShowDetail(detail);
    }

    // Check Info's result, shown modally.
    virtual void ShowBankInfo(const BankInfoData& info) = 0;
};

}  // namespace tavrin
