// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

#include "text/MessageBoxHost.h"

class QWidget;

namespace tavrin {

enum class FileDialogKind { ConfigFile, OpenSettings, SaveSettings };

// Everything the window asks the user through a standard dialog: message boxes and file
// dialogs. Tests replace it with scripted answers.
class UserPrompts : public MessageBoxHost {
public:
    // The chosen path, or empty when the dialog was cancelled.
    virtual std::string ChooseFile(QWidget* parent, FileDialogKind kind) = 0;
    // A message with only OK whose detail (empty: none) says why it failed.
    virtual void ShowFailure(const std::string& text, MsgIcon icon, const std::string& detail) = 0;
};

// The real dialogs.
class QtPrompts : public UserPrompts {
public:
    MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override;
    std::string ChooseFile(QWidget* parent, FileDialogKind kind) override;
    void ShowFailure(const std::string& text, MsgIcon icon, const std::string& detail) override;
};

}  // namespace tavrin
