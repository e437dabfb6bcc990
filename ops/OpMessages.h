// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <string>

#include "ops/OperationHost.h"
#include "text/LocalText.h"

// The message boxes and progress updates that the card operations share.
MsgAnswer Tell(MessageBoxHost& host, int language, const TextPair& text, MsgIcon icon);
// Tell, for an open or unmount that failed; when the system kept the user out and the desktop's
// disk service could not stand in, a second paragraph says what to do.
void TellAccess(MessageBoxHost& host, int language, const TextPair& text, MsgIcon icon);
// That paragraph; empty when nothing was refused.
std::string AccessAdvice(int language);
void TellName(MessageBoxHost& host, int language, const TextPair& text, const std::string& name);
void TellAddress(MessageBoxHost& host, int language, const TextPair& text, int64_t offset);
bool AskYes(MessageBoxHost& host, const std::string& question);

// Percentage text, progress bar, the operation's button disabled, repaint.
void ShowProgress(OperationHost& host, OpButton button, int percent);
// The display as it stands between operations.
void ResetProgress(OperationHost& host, OpButton button);
