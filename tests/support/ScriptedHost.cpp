// SPDX-License-Identifier: Apache-2.0
#include "support/ScriptedHost.h"

namespace tavrin {

MsgAnswer ScriptedHost::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) {
    messages.push_back({text, buttons, icon});
    if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
    if (answers.empty()) return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

void ScriptedHost::SetPercentText(OpButton button, const std::string& text) { percentTexts.push_back({button, text}); }

void ScriptedHost::SetProgress(int percent) { progress.push_back(percent); }

void ScriptedHost::EnableButton(OpButton button, bool enabled) { buttonStates.push_back({button, enabled}); }

void ScriptedHost::RepaintNow() { ++repaints; }

bool ScriptedHost::InitializeDiskTicked() { return initializeDisk; }

void ScriptedHost::UntickInitializeDisk() {
    initializeDisk = false;
    ++untickCount;
}

void ScriptedHost::TakeControls(WindowState& state) {
    state = controls;
    ++takeCount;
}

void ScriptedHost::PutStateBack(const WindowState& state) {
    controls = state;
    ++putBackCount;
}

void ScriptedHost::ShowCardSelection(const CardSelection& selection) { shownSelections.push_back(selection); }

void ScriptedHost::RefreshDiskList(CardSelection& selection, const DeviceFactory& makeDevice) {
    ++diskListRefreshes;
    if (!keepDiskList) OperationHost::RefreshDiskList(selection, makeDevice);
}

void ScriptedHost::ShowBankInfo(const BankInfoData& info) { bankInfos.push_back(info); }

std::vector<std::string> ScriptedHost::MessageTexts() const {
    std::vector<std::string> texts;
    for (const Message& m : messages) texts.push_back(m.text);
    return texts;
}

std::string ScriptedHost::LastMessage() const { return messages.empty() ? "" : messages.back().text; }

std::vector<std::string> ScriptedHost::PercentTextsOf(OpButton button) const {
    std::vector<std::string> texts;
    for (const PercentText& p : percentTexts) {
        if (p.button == button) texts.push_back(p.text);
    }
    return texts;
}

void ScriptedHost::ClearRecords() {
    messages.clear();
    details.clear();
    percentTexts.clear();
    progress.clear();
    buttonStates.clear();
    bankInfos.clear();
    shownSelections.clear();
    repaints = untickCount = takeCount = putBackCount = diskListRefreshes = 0;
}

}  // namespace tavrin
