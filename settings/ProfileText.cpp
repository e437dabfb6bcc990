// SPDX-License-Identifier: Apache-2.0
#include "settings/ProfileText.h"

#include "common/AsciiText.h"

namespace tavrin {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

void Classify(std::string_view text, ProfileLine& line) {
    std::string_view content = Trim(text.substr(line.start, line.length));
    if (content.empty() || content.front() == ';' || content.front() == '#') return;
    if (content.front() == '[') {
        size_t close = content.find(']');
        if (close == std::string_view::npos) return;
        line.kind = ProfileLineKind::Header;
        line.name = std::string(Trim(content.substr(1, close - 1)));
        return;
    }
    std::string_view raw = text.substr(line.start, line.length);
    size_t equals = raw.find('=');
    if (equals == std::string_view::npos) return;
    std::string_view name = Trim(raw.substr(0, equals));
    if (name.empty()) return;
    line.kind = ProfileLineKind::Key;
    line.name = std::string(name);
    line.valueStart = line.start + equals + 1;
}

std::string_view LineEnding(const std::vector<ProfileLine>& lines) {
    for (const ProfileLine& line : lines) {
        if (line.eolLength == 2) return "\r\n";
        if (line.eolLength == 1) return "\n";
    }
    return "\n";
}

// Index of the first key line with that name in a section of that name, or of the line after
// which a new key of that section belongs; found tells which.
struct KeyPlace {
    bool sectionFound = false;
    bool keyFound = false;
    size_t line = 0;
};

KeyPlace FindKeyPlace(const std::vector<ProfileLine>& lines, std::string_view section, std::string_view key) {
    KeyPlace place;
    bool inSection = false;
    bool firstSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ProfileLine& line = lines[i];
        if (line.kind == ProfileLineKind::Header) {
            inSection = SameName(line.name, section);
            firstSection = inSection && !place.sectionFound;
            if (firstSection) {
                place.sectionFound = true;
                place.line = i;
            }
        } else if (inSection && line.kind == ProfileLineKind::Key) {
            if (SameName(line.name, key)) {
                place.keyFound = true;
                place.line = i;
                return place;
            }
            if (firstSection) place.line = i;
        }
    }
    return place;
}

}  // namespace

std::vector<ProfileLine> ParseProfileLines(std::string_view text) {
    std::vector<ProfileLine> lines;
    size_t pos = text.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    while (pos < text.size()) {
        ProfileLine line;
        line.start = pos;
        size_t newline = text.find('\n', pos);
        size_t end = newline == std::string_view::npos ? text.size() : newline;
        line.length = end - pos;
        if (newline != std::string_view::npos) {
            line.eolLength = 1;
            if (line.length > 0 && text[end - 1] == '\r') {
                --line.length;
                line.eolLength = 2;
            }
        }
        Classify(text, line);
        lines.push_back(std::move(line));
        pos = newline == std::string_view::npos ? text.size() : newline + 1;
    }
    return lines;
}

std::string CleanProfileValue(std::string_view raw) {
    std::string_view value = Trim(raw);
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\'')) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
    std::vector<ProfileLine> lines = ParseProfileLines(text);
    KeyPlace place = FindKeyPlace(lines, section, key);
    if (!place.keyFound) return std::nullopt;
    const ProfileLine& line = lines[place.line];
    return CleanProfileValue(text.substr(line.valueStart, line.start + line.length - line.valueStart));
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    std::vector<ProfileLine> lines = ParseProfileLines(text);
    std::string_view eol = LineEnding(lines);
    KeyPlace place = FindKeyPlace(lines, section, key);
    std::string out;
    if (place.keyFound) {
        // The blanks between '=' and the old value stay, as the user laid the line out.
        const ProfileLine& line = lines[place.line];
        size_t valueEnd = line.start + line.length;
        size_t valueStart = line.valueStart;
        while (valueStart < valueEnd && (text[valueStart] == ' ' || text[valueStart] == '\t')) ++valueStart;
        out.append(text.substr(0, valueStart)).append(value).append(text.substr(valueEnd));
        return out;
    }
    std::string keyLine = std::string(key) + "=" + std::string(value) + std::string(eol);
    if (place.sectionFound) {
        const ProfileLine& after = lines[place.line];
        size_t insertAt = after.start + after.length + after.eolLength;
        out.append(text.substr(0, insertAt));
        if (after.eolLength == 0) out.append(eol);
        out.append(keyLine).append(text.substr(insertAt));
        return out;
    }
    out.append(text);
    if (!lines.empty() && lines.back().eolLength == 0) out.append(eol);
    out.append("[").append(section).append("]").append(eol).append(keyLine);
    return out;
}

bool ProfileTextWritable(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace tavrin
