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

// The environment under which the program's `call` (fsync, pread, pwrite, open) fails with EIO.
std::vector<std::string> FailingCallEnvironment(const std::string& call);

}  // namespace opstest

}  // namespace tavrin
