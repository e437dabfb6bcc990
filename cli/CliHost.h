// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <functional>
#include <memory>

#include "cli/ProgressLine.h"
#include "ops/OperationHost.h"

namespace tavrin {

// The terminal as the operations' host: messages become lines, questions are asked on the
// terminal (or answered), the card stays the one named on the command line.
class CliHost : public OperationHost {
public:
    struct Answers {
        bool assumeYes = false;    // --yes
        bool interactive = false;  // standard input is a terminal
    };
    CliHost(Answers answers, bool initializeDisk, std::unique_ptr<ProgressLine> progress,
            std::function<void(const BankInfoData&)> showInfo);

    MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override;
    void SetPercentText(OpButton, const std::string&) override {}
    void SetProgress(int percent) override { progress_->Update(percent); }
    void EnableButton(OpButton, bool) override {}
    void RepaintNow() override {}
    bool InitializeDiskTicked() override { return initializeDisk_; }
    void UntickInitializeDisk() override { initializeDisk_ = false; }
    void TakeControls(WindowState& state) override { state = controls_; }
    void PutStateBack(const WindowState& state) override { controls_ = state; }
    void ShowCardSelection(const CardSelection&) override {}
    bool ShowsCardAfterwards() const override { return false; }
    void ShowBankInfo(const BankInfoData& info) override { showInfo_(info); }
    void ShowDetail(const std::string& detail) override;

    // What the window's fields would hold.
    WindowState& Controls() { return controls_; }
    // Every question stops its operation when answered No.
    bool AnsweredNo() const { return answeredNo_; }

private:
    MsgAnswer Ask(const std::string& text, MsgButtons buttons);

    Answers answers_;
    bool initializeDisk_;
    std::unique_ptr<ProgressLine> progress_;
    std::function<void(const BankInfoData&)> showInfo_;
    WindowState controls_;
    bool answeredNo_ = false;
};

// The one-entry disk list of a card named on the command line.
ListModel SingleTargetList(int drive, const DeviceFactory& makeDevice);

}  // namespace tavrin
