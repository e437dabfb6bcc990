// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <string>

namespace tavrin {

// A text with its Japanese twin (UTF-8).
struct TextPair {
    const char* english;
    const char* japanese;
};

inline const char* LocalText(int flag, const char* english, const char* japanese) {
    return flag != 0 ? japanese : english;
}
inline const char* LocalText(int flag, const TextPair& pair) {
    return LocalText(flag, pair.english, pair.japanese);
}

// printf-style formatting into a std::string.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tavrin
