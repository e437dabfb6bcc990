// SPDX-License-Identifier: Apache-2.0
#include "disk/linux/MountTable.h"

#include <string_view>

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

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// The next blank-separated field of `line` from `at`, empty when none is left.
std::string_view NextField(std::string_view line, size_t& at) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    const size_t start = at;
    while (at < line.size() && !IsBlank(line[at])) ++at;
    return line.substr(start, at - start);
}

}  // namespace

std::vector<MountEntry> ParseMountTable(const std::string& text) {
    std::vector<MountEntry> entries;
    const std::string_view all(text);
    for (size_t start = 0; start < all.size();) {
        const size_t end = std::min(all.find('\n', start), all.size());
        const std::string_view line = all.substr(start, end - start);
        start = end + 1;
        size_t at = 0;
        const std::string_view source = NextField(line, at);
        const std::string_view mountPoint = NextField(line, at);
        if (mountPoint.empty()) continue;
        entries.push_back({DecodeField(std::string(source)), DecodeField(std::string(mountPoint))});
    }
    return entries;
}

std::optional<std::vector<MountEntry>> ReadMountTable(const std::string& path) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return std::nullopt;
    return ParseMountTable(*text);
}

}  // namespace tavrin
