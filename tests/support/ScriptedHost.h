// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "ops/OperationHost.h"

namespace tavrin {

// A host for tests: answers questions from a script and records everything an operation shows.
class ScriptedHost : public OperationHost {
public:
    struct Message {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
    };
    struct PercentText {
        OpButton button;
        std::string text;
    };
    struct ButtonState {
        OpButton button;
        bool enabled;
    };

    // Answers for the coming questions, in order. A question beyond the script is answered No
    // (Cancel for OK/Cancel); a message with only OK is answered OK without using the script.
    std::deque<MsgAnswer> answers;
    // The simulated controls: what TakeControls copies into the state and PutStateBack writes.
    WindowState controls;
    bool initializeDisk = false;
    // True: a disk list rebuild keeps the list as it is (cards that discovery does not list).
    bool keepDiskList = false;
    bool showsCardAfterwards = true;

    std::vector<Message> messages;
    std::vector<std::string> details;
    std::vector<PercentText> percentTexts;
    std::vector<int> progress;
    std::vector<ButtonState> buttonStates;
    std::vector<BankInfoData> bankInfos;
    std::vector<CardSelection> shownSelections;
    int repaints = 0;
    int untickCount = 0;
    int takeCount = 0;
    int putBackCount = 0;
    int diskListRefreshes = 0;

    MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override;
    bool ShowsCardAfterwards() const override { return showsCardAfterwards; }
    void SetPercentText(OpButton button, const std::string& text) override;
    void SetProgress(int percent) override;
    void EnableButton(OpButton button, bool enabled) override;
    void RepaintNow() override;
    bool InitializeDiskTicked() override;
    void UntickInitializeDisk() override;
    void TakeControls(WindowState& state) override;
    void PutStateBack(const WindowState& state) override;
    void ShowCardSelection(const CardSelection& selection) override;
    void RefreshDiskList(CardSelection& selection, const DeviceFactory& makeDevice) override;
    void ShowBankInfo(const BankInfoData& info) override;
    void ShowDetail(const std::string& detail) override { details.push_back(detail); }

    // The texts of all messages, in order.
    std::vector<std::string> MessageTexts() const;
    // The last message's text, or "" when none was shown.
    std::string LastMessage() const;
    // Percentage texts shown for one button, in order.
    std::vector<std::string> PercentTextsOf(OpButton button) const;
    void ClearRecords();
};

}  // namespace tavrin
