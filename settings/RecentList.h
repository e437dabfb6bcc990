// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <array>
#include <string>
#include <vector>

namespace tavrin {

using RecentFiles = std::array<std::string, 4>;

// The four "Recent TVS" keys of the default settings file, entry 1 first.
RecentFiles ReadRecentList(const std::string& defaultSettingsPath);

// Puts the path first (moving it up when it is listed, dropping entry 4 otherwise) and
// stores the list in the default settings file. False when it could not be stored (not
// reported; rereading the file then gives the list as it was).
bool UpdateRecentList(const std::string& defaultSettingsPath, RecentFiles& recent, const std::string& path);

// The entries a menu shows: from entry 1 up to the first empty one.
std::vector<std::string> RecentMenuEntries(const RecentFiles& recent);

}  // namespace tavrin
