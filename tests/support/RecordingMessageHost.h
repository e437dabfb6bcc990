// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

#include "text/MessageBoxHost.h"

namespace tavrin {

// Remembers every message box instead of showing it, and answers with `answer`.
class RecordingMessageHost : public MessageBoxHost {
public:
    struct Message {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
    };

    MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override {
        messages.push_back({text, buttons, icon});
        return answer;
    }

    std::vector<Message> messages;
    MsgAnswer answer = MsgAnswer::Ok;
};

}  // namespace tavrin
