// SPDX-License-Identifier: Apache-2.0
#include "settings/ProfileStore.h"

#include "settings/AtomicFile.h"
#include "settings/ProfileText.h"

namespace tavrin {

ProfileSnapshot ProfileSnapshot::Read(const std::string& path) {
    std::string bytes;
    const bool failed = ReadFileBytes(path, bytes, kMaxReadFileBytes) == FileReadResult::Failed;
    ProfileSnapshot snapshot(std::move(bytes));
    snapshot.unreadable_ = failed;
    return snapshot;
}

std::optional<std::string> ProfileSnapshot::Find(const std::string& section, const std::string& key) const {
    return FindProfileValue(text_, section, key);
}

std::string ProfileSnapshot::GetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue, size_t capacity) const {
    std::string value = Find(section, key).value_or(defaultValue);
    if (value.size() > capacity) value.resize(capacity);
    return value;
}

bool WriteProfileStrings(const std::string& path, const std::string& section, const ProfileKeyValues& pairs) {
    std::string text;
    // A file that exists but cannot be read is not replaced by one holding only these keys. A
    // link that is replaced, not followed, passes on nothing of the file it points to.
    if (!ReplacesLink(path) && ReadFileBytes(path, text, kMaxReadFileBytes) == FileReadResult::Failed) return false;
    if (!ProfileTextWritable(section)) return false;
    bool all = true;
    size_t written = 0;
    for (const auto& [key, value] : pairs) {
        if (!ProfileTextWritable(key) || !ProfileTextWritable(value)) {
            all = false;
            continue;
        }
        text = SetProfileValue(text, section, key, value);
        ++written;
    }
    if (written == 0) return all;
    return ReplaceFileBytes(path, text) && all;
}

bool WriteProfileString(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
    return WriteProfileStrings(path, section, {{key, value}});
}

}  // namespace tavrin
