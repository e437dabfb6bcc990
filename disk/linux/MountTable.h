// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// One line of a mounts table (/proc/self/mounts format).
struct MountEntry {
    std::string source;
    std::string mountPoint;
};

// Lines with fewer than two fields are left out; octal escapes (\040 for a space) are decoded.
std::vector<MountEntry> ParseMountTable(const std::string& text);
// Nothing when the file cannot be read: a caller that would write must not take that for "no
// mounts".
std::optional<std::vector<MountEntry>> ReadMountTable(const std::string& path);

}  // namespace tavrin
