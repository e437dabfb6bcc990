// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace tavrin {

enum class MsgIcon { Error, Warning, Question, Information };
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// Whoever shows the tool's message boxes: the window, the command-line program, a test.
class MessageBoxHost {
public:
    virtual ~MessageBoxHost() = default;
    virtual MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) = 0;
};

}  // namespace tavrin
