// SPDX-License-Identifier: Apache-2.0
#include <string>
#include <vector>

#include "cli/Commands.h"

using namespace tavrin;

int main(int argc, char** argv) {
    const std::vector<std::string> words(argv, argv + argc);
    const ParsedArguments parsed = ParseArguments(words);
    if (!parsed.ok) return UsageError(parsed.error);
    return RunCommand(parsed.arguments);
}
