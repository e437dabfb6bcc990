// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <QString>
#include <memory>

#include "ui/UserPrompts.h"

class QFileDialog;
class QWidget;

namespace tavrin {

// The filter as QFileDialog takes it: the description shown to the user, then the patterns.
QString FileDialogFilter(FileDialogKind kind);

// The open dialog for configuration files or the open and save dialogs for settings files,
// ready to run.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, FileDialogKind kind);

}  // namespace tavrin
