// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

enum class CliCommand { Help, Version, List, Program, Verify, Info, Erase, Settings };

// The command line as given; values not given stay unset so that a settings file can fill them.
struct CliArguments {
    CliCommand command = CliCommand::Help;
    std::string disk;
    std::vector<std::string> files;  // FILE1 ... FILE8, or the settings file of `settings`
    int bank = 1;
    bool bankGiven = false;
    bool yes = false;
    bool initializeDisk = false;
    bool tsv = false;
    std::string settingsFile;
    std::optional<int> parallelMode, autoVerify, quickErase, frequency, hiSpeed, retry, delay, language;
};

struct ParsedArguments {
    bool ok = false;
    CliArguments arguments;
    std::string error;  // what was wrong, for the usage message
};

ParsedArguments ParseArguments(const std::vector<std::string>& argv);

// The short usage shown with a usage error, and the whole help.
const char* UsageText();
const char* HelpText();

}  // namespace tavrin
