// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrin {

// A fresh folder under the system's temporary directory, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes the file (creating folders on the way) and returns its full path.
    std::string Write(const std::string& relativeName, const std::vector<uint8_t>& bytes) const;

private:
    std::filesystem::path path_;
};

// The whole file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

}  // namespace tavrin
