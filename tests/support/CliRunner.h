// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>
#include <vector>

namespace tavrin {

namespace opstest {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built tavrin-cli with the arguments, standard input from /dev/null (so every
// question is answered No unless --yes), and captures both output streams.
// `environment` entries ("NAME=value") are added to the test's own.
CliResult RunCli(const std::vector<std::string>& arguments, const std::vector<std::string>& environment = {});

// The environment under which every flush of the program to storage fails.
std::vector<std::string> FailingFlushEnvironment();

}  // namespace opstest

}  // namespace tavrin
