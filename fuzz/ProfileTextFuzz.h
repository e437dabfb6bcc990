// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "fuzz/FuzzFinding.h"
#include "settings/ProfileText.h"

namespace tavrin {

// Any bytes as a profile text, and one key written into them. Input: a byte choosing the key,
// a byte giving the value length, the value, then the text.
namespace profile_fuzz {

inline constexpr const char* kSections[] = {"Settings", "Other"};
inline constexpr const char* kKeys[] = {"File Name1", "File Name8", "Parallel Mode", "Language", "Auto Verify",
                                        "Quick Erase", "Frequency", "Hi-speed", "Retry", "Delay", "Recent TVS1"};

inline FuzzFinding CheckLineCover(std::string_view text) {
    auto lines = ParseProfileLines(text);
    size_t pos = text.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
    for (const ProfileLine& line : lines) {
        if (line.start != pos) return "lines leave a gap or overlap at byte " + std::to_string(pos);
        if (line.kind == ProfileLineKind::Key && (line.valueStart <= line.start || line.valueStart > line.start + line.length))
            return "value start outside its line at byte " + std::to_string(line.start);
        pos = line.start + line.length + line.eolLength;
    }
    if (pos != text.size()) return "lines end at " + std::to_string(pos) + " of " + std::to_string(text.size());
    return {};
}

// A value that reads back as itself: writable, no surrounding blanks, no enclosing quotes.
inline bool ReadsBackAsItself(std::string_view value) {
    return ProfileTextWritable(value) && CleanProfileValue(value) == value;
}

}  // namespace profile_fuzz

inline FuzzFinding CheckProfileText(const uint8_t* data, size_t size) {
    using namespace profile_fuzz;
    if (size < 2) return {};
    const char* key = kKeys[data[0] % std::size(kKeys)];
    const char* section = kSections[(data[0] / std::size(kKeys)) % 2];
    size_t valueLength = std::min<size_t>(data[1], size - 2);
    std::string_view value(reinterpret_cast<const char*>(data) + 2, valueLength);
    std::string_view text(reinterpret_cast<const char*>(data) + 2 + valueLength, size - 2 - valueLength);

    if (FuzzFinding f = CheckLineCover(text); !f.empty()) return f;
    if (!ReadsBackAsItself(value)) return {};

    std::string written = SetProfileValue(text, section, key, value);
    if (FuzzFinding f = CheckLineCover(written); !f.empty()) return "after writing: " + f;
    if (FindProfileValue(written, section, key) != std::optional<std::string>(value))
        return std::string("written value of ") + key + " does not read back";
    if (SetProfileValue(written, section, key, value) != written) return "writing the same value twice changed the text";
    for (const char* otherSection : kSections) {
        for (const char* other : kKeys) {
            if (otherSection == section && other == key) continue;
            if (FindProfileValue(written, otherSection, other) != FindProfileValue(text, otherSection, other))
                return std::string("writing ") + key + " changed " + otherSection + "/" + other;
        }
    }
    return {};
}

}  // namespace tavrin
