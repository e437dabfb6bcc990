// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tavrin {

// Reads and writes keys of profile files on disk. Reads take the whole file once; writes
// replace it atomically (temporary file in the same folder, fsync, rename), so a failed write
// leaves the old file as it was.

// Reader capacities: what a 260-byte path buffer and a 30-byte number buffer hold.
inline constexpr size_t kProfileNameCapacity = 259;
inline constexpr size_t kProfileNumberCapacity = 29;

using ProfileKeyValues = std::vector<std::pair<std::string, std::string>>;

// One profile file as read from disk; a missing or unreadable file reads as empty.
class ProfileSnapshot {
public:
    static ProfileSnapshot Read(const std::string& path);
    explicit ProfileSnapshot(std::string text = {}) : text_(std::move(text)) {}
    // Something is at the path but could not be read as a settings file (too large, no file).
    bool Unreadable() const { return unreadable_; }

    // The value, or the default when the section or the key is missing; cut to capacity bytes.
    std::string GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                          size_t capacity) const;
    // nullopt when the key or section is missing (no default applied, no cut).
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;

private:
    std::string text_;
    bool unreadable_ = false;
};

// Writes one key; false when the file could not be replaced or the value holds a line break.
bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value);

// Writes the keys in order in one replacement of the file, with the same result as writing
// them one by one; a pair that cannot be written is skipped and makes the result false.
bool WriteProfileStrings(const std::string& path, const std::string& section, const ProfileKeyValues& pairs);

}  // namespace tavrin
