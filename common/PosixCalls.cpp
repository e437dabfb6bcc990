// SPDX-License-Identifier: Apache-2.0
#include "common/PosixCalls.h"

#include <fstream>
#include <sstream>

std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
