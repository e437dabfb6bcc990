// SPDX-License-Identifier: Apache-2.0
#include "disk/linux/MountTable.h"

#include <sstream>

#include "common/PosixCalls.h"

namespace tavrin {

namespace {

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

std::string DecodeField(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
            IsOctal(field[i + 3])) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

}  // namespace

std::vector<MountEntry> ParseMountTable(const std::string& text) {
    std::vector<MountEntry> entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string source;
        std::string mountPoint;
        if (!(fields >> source >> mountPoint)) continue;
        entries.push_back({DecodeField(source), DecodeField(mountPoint)});
    }
    return entries;
}

std::optional<std::vector<MountEntry>> ReadMountTable(const std::string& path) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return std::nullopt;
    return ParseMountTable(*text);
}

}  // namespace tavrin
