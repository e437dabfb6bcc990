// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>
#include <string>

#include "text/MessageBoxHost.h"

class QWidget;

namespace tavrin {

// The caption of every message box: the executable's file name without its extension.
QString ApplicationCaption();

// The one message box of the tool: the text with the icon and buttons asked for, and the
// detail (why it failed) behind the box's "Show Details..." button when there is one.
MsgAnswer ShowTavrinMessage(QWidget* parent, const std::string& text, MsgButtons buttons, MsgIcon icon,
                            const std::string& detail = {});

}  // namespace tavrin
