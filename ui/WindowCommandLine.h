// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>

namespace tavrin {

// Answers --help and --version, and refuses what the window does not understand, before Qt
// starts: so both work without a display. Qt's own options (-platform NAME, -style NAME, ...)
// pass. Returns the exit status when the program should end here.
std::optional<int> AnswerWindowCommandLine(int argc, char** argv);

}  // namespace tavrin
