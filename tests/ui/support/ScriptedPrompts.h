#pragma once
#include <deque>
#include <string>
#include <vector>

#include "ui/UserPrompts.h"

// Answers the window's message boxes and file dialogs from a script and records them.
class ScriptedPrompts : public UserPrompts {
public:
    struct Message {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
    };

    // Answers for the coming questions, in order; a question beyond the script gets No
    // (Cancel for OK/Cancel). A box with only OK is answered OK without using the script.
    std::deque<MsgAnswer> answers;
    // Paths for the coming file dialogs, in order; "" or none left: cancelled.
    std::deque<std::string> files;

    std::vector<Message> messages;
    std::vector<FileDialogKind> fileDialogs;

    MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override {
        messages.push_back({text, buttons, icon});
        if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
        if (answers.empty()) return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
        MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::string ChooseFile(QWidget*, FileDialogKind kind) override {
        fileDialogs.push_back(kind);
        if (files.empty()) return {};
        std::string path = files.front();
        files.pop_front();
        return path;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Message& message : messages) texts.push_back(message.text);
        return texts;
    }
    std::string Last() const { return messages.empty() ? std::string() : messages.back().text; }
};
