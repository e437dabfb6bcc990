// SPDX-License-Identifier: Apache-2.0
#pragma once
// Shared by the settings, profile and recent-list tests: a temporary folder per test, whole-file
// helpers and a message host that records what it was asked to show.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/PosixCalls.h"
#include "text/MessageBoxHost.h"

namespace tavrin {

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-settings-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string File(const std::string& name) const { return (path_ / name).string(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadBytes(const std::string& path) {
    return ReadWholeFile(path).value_or("");
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Fixture(const std::string& name) {
    return std::string(TAVRIN_TEST_DATA_DIR) + "/settings/" + name;
}

// Line by line first, so that a mismatch names the line; then the exact bytes.
inline void ExpectSameLines(const std::string& actual, const std::string& expected) {
    std::istringstream a(actual), e(expected);
    std::string lineA, lineE;
    for (int n = 1; std::getline(e, lineE); ++n) {
        ASSERT_TRUE(std::getline(a, lineA)) << "missing line " << n << ": " << lineE;
        EXPECT_EQ(lineA, lineE) << "line " << n;
    }
    EXPECT_FALSE(std::getline(a, lineA)) << "extra line: " << lineA;
    EXPECT_EQ(actual, expected);
}

struct ShownMessage {
    std::string text;
    MsgButtons buttons;
    MsgIcon icon;
};

class RecordingHost : public MessageBoxHost {
public:
    MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override {
        shown.push_back({text, buttons, icon});
        return MsgAnswer::Ok;
    }
    std::vector<ShownMessage> shown;
};

}  // namespace tavrin
