// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// The text form of a profile file ("[Section]" headers and "key=value" lines), on bytes only;
// ProfileStore does the file I/O around it.

enum class ProfileLineKind { Header, Key, Other };

struct ProfileLine {
    size_t start = 0;      // first byte of the line
    size_t length = 0;     // without its line ending
    size_t eolLength = 0;  // 0 (last line without one), 1 (LF) or 2 (CRLF)
    ProfileLineKind kind = ProfileLineKind::Other;
    std::string name;      // section or key name, blanks trimmed
    size_t valueStart = 0; // Key lines: first byte after the first '='
};

std::vector<ProfileLine> ParseProfileLines(std::string_view text);

// The value as a reader sees it: blanks trimmed, one pair of enclosing quotes removed.
std::string CleanProfileValue(std::string_view raw);

// The value of the first such key in a section of that name (names compared without regard
// to ASCII case); nullopt when the section or the key is missing.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// The text after writing one key: an existing key gets the new value in its place, a new key
// goes after the last key line of its section, a missing section is added at the end. Every
// other byte stays; new lines take the text's own line ending (LF for a text without one).
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// A key or value that would break the line structure (line breaks, NUL) cannot be written.
bool ProfileTextWritable(std::string_view text);

}  // namespace tavrin
