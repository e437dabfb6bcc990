// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <string>

#include "ops/DeviceSession.h"
#include "ops/OperationHost.h"
#include "text/LocalText.h"

namespace tavrin {

// The message boxes and progress updates that the card operations share.
MsgAnswer Tell(MessageBoxHost& host, int language, const TextPair& text, MsgIcon icon);
// Tell, for an open or unmount that failed; when the system kept the user out and the desktop's
// disk service could not stand in, a second paragraph says what to do.
void TellAccess(OperationHost& host, int language, const TextPair& text, MsgIcon icon, const std::string& detail = {});
// That paragraph; empty when nothing was refused.
std::string AccessAdvice(int language);
void TellName(MessageBoxHost& host, int language, const TextPair& text, const std::string& name);
// The failures of the card's device, with the system's reason as their detail.
void TellAddress(OperationHost& host, int language, const TextPair& text, int64_t offset, const DeviceSession& device);
void TellDevice(OperationHost& host, const std::string& message, const DeviceSession& device);
bool AskYes(MessageBoxHost& host, const std::string& question);

// Percentage text, progress bar, the operation's button disabled, repaint.
void ShowProgress(OperationHost& host, OpButton button, int percent);
// The display as it stands between operations.
void ResetProgress(OperationHost& host, OpButton button);

}  // namespace tavrin
