// SPDX-License-Identifier: Apache-2.0
#include "support/ScratchFolder.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "common/PosixCalls.h"

namespace tavrin {

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::Write(const std::string& relativeName, const std::vector<uint8_t>& bytes) const {
    std::filesystem::path full = path_ / relativeName;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full.string());
    return full.string();
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
    const std::string text = ReadWholeFile(path).value_or("");
    return {text.begin(), text.end()};
}

}  // namespace tavrin
