// SPDX-License-Identifier: Apache-2.0
#include "ops/OpMessages.h"

#include "disk/Drives.h"
#include "text/Texts.h"

namespace tavrin {

MsgAnswer Tell(MessageBoxHost& host, int language, const TextPair& text, MsgIcon icon) {
    return host.ShowMessage(LocalText(language, text), MsgButtons::Ok, icon);
}

std::string AccessAdvice(int language) {
    switch (LastAccessRefusal()) {
    case AccessRefusal::NoService: return LocalText(language, texts::kNoDiskService);
    case AccessRefusal::PromptRefused: return LocalText(language, texts::kDiskAccessRefused);
    case AccessRefusal::None: break;
    }
    return {};
}

void TellAccess(OperationHost& host, int language, const TextPair& text, MsgIcon icon, const std::string& detail) {
    const std::string advice = AccessAdvice(language);
    const std::string message = LocalText(language, text);
    host.ShowFailure(advice.empty() ? message : message + "\n\n" + advice, icon, detail);
}

void TellName(MessageBoxHost& host, int language, const TextPair& text, const std::string& name) {
    host.ShowMessage(FormatText(LocalText(language, text), name.c_str()), MsgButtons::Ok, MsgIcon::Error);
}

void TellAddress(OperationHost& host, int language, const TextPair& text, int64_t offset, const DeviceSession& device) {
    TellDevice(host, FormatText(LocalText(language, text), AddressText(offset)), device);
}

void TellDevice(OperationHost& host, const std::string& message, const DeviceSession& device) {
    host.ShowFailure(message, MsgIcon::Error, device.FailureReason());
}

bool AskYes(MessageBoxHost& host, const std::string& question) {
    return host.ShowMessage(question, MsgButtons::YesNo, MsgIcon::Question) == MsgAnswer::Yes;
}

void ShowProgress(OperationHost& host, OpButton button, int percent) {
    host.SetPercentText(button, FormatText(texts::kPercentFormat, percent));
    host.SetProgress(percent);
    host.EnableButton(button, false);
    host.RepaintNow();
}

void ResetProgress(OperationHost& host, OpButton button) {
    host.SetPercentText(button, FormatText(texts::kPercentFormat, 0));
    host.SetProgress(0);
    host.EnableButton(button, true);
}

}  // namespace tavrin
