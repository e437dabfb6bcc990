// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "cli/CliArguments.h"

namespace tavrin {

// Exit status: 0 done, 1 failed, 2 usage error, 3 a question answered No (so that a script
// tells a refusal from a failure).
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitAnsweredNo = 3;

int RunCommand(const CliArguments& arguments);
// Prints the error with the short usage and returns kExitUsage.
int UsageError(const std::string& error);

}  // namespace tavrin
