// SPDX-License-Identifier: Apache-2.0
#include "settings/RecentList.h"

#include "settings/ProfileStore.h"

namespace tavrin {

namespace {

constexpr const char* kSection = "Settings";
constexpr const char* kRecentKeys[4] = {"Recent TVS1", "Recent TVS2", "Recent TVS3", "Recent TVS4"};

}  // namespace

RecentFiles ReadRecentList(const std::string& defaultSettingsPath) {
    RecentFiles recent;
    if (defaultSettingsPath.empty()) return recent;
    ProfileSnapshot file = ProfileSnapshot::Read(defaultSettingsPath);
    for (size_t i = 0; i < recent.size(); ++i) {
        recent[i] = file.GetString(kSection, kRecentKeys[i], "", kProfileNameCapacity);
    }
    return recent;
}

bool UpdateRecentList(const std::string& defaultSettingsPath, RecentFiles& recent, const std::string& path) {
    size_t p = recent.size() - 1;
    for (size_t i = 0; i < recent.size(); ++i) {
        if (recent[i] == path) {
            p = i;
            break;
        }
    }
    const std::string copy = path;
    for (size_t j = p; j >= 1; --j) recent[j] = recent[j - 1];
    recent[0] = copy;

    ProfileKeyValues pairs;
    for (size_t i = 0; i < recent.size(); ++i) pairs.emplace_back(kRecentKeys[i], recent[i]);
    return WriteProfileStrings(defaultSettingsPath, kSection, pairs);
}

std::vector<std::string> RecentMenuEntries(const RecentFiles& recent) {
    std::vector<std::string> entries;
    for (const std::string& entry : recent) {
        if (entry.empty()) break;
        entries.push_back(entry);
    }
    return entries;
}

}  // namespace tavrin
