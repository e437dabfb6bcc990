// SPDX-License-Identifier: Apache-2.0
#pragma once
#include "cli/CliArguments.h"

// Exit status: 0 done, 1 failed or answered No, 2 usage error.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int RunCommand(const CliArguments& arguments);
// Prints the error with the short usage and returns kExitUsage.
int UsageError(const std::string& error);
