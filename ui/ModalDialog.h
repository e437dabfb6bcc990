// SPDX-License-Identifier: Apache-2.0
#pragma once

class QDialog;
class QWidget;

// Runs a dialog that lives apart from the window (the process-wide dialog objects) modally
// over it: placed in front of the owner and centred on it. Returns the dialog's result.
int ExecOver(QDialog& dialog, QWidget* owner);

// Fixes a dialog at the size its layout asks for, like a dialog template.
void MakeFixedSize(QDialog& dialog);
