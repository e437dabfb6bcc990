// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "support/ScriptedHost.h"
#include "ui/UserPrompts.h"

namespace tavrin {

// Answers the window's message boxes and file dialogs from a script and records them.
class ScriptedPrompts : public UserPrompts {
public:
    // Answers the message boxes (its `answers`) and records them (its `messages`).
    ScriptedHost host;
    // Paths for the coming file dialogs, in order; "" or none left: cancelled.
    std::deque<std::string> files;
    std::vector<FileDialogKind> fileDialogs;
    // Looks at the window while a message box is up.
    std::function<void()> whileShowing;

    MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override {
        if (whileShowing) whileShowing();
        return host.ShowMessage(text, buttons, icon);
    }

    void ShowFailure(const std::string& text, MsgIcon icon, const std::string& detail) override {
        if (whileShowing) whileShowing();
        host.ShowFailure(text, icon, detail);
    }

    std::string ChooseFile(QWidget*, FileDialogKind kind) override {
        fileDialogs.push_back(kind);
        if (files.empty()) return {};
        std::string path = files.front();
        files.pop_front();
        return path;
    }
};

}  // namespace tavrin
