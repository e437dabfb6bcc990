#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/ConfigFileFuzz.h"
#include "fuzz/ProfileTextFuzz.h"
#include "fuzz/SettingsLoadFuzz.h"
#include "support/ScratchFolder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kCorpusRoot = fs::path(TAVRIN_TEST_DATA_DIR) / ".." / ".." / "fuzz" / "corpus";

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every committed input of a target (seeds and past findings) through the target's checks.
template <typename Check>
void ReplayCorpus(const std::string& target, Check check) {
    const fs::path folder = kCorpusRoot / target;
    ASSERT_TRUE(fs::is_directory(folder)) << folder;
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::vector<uint8_t> bytes = ReadAll(entry.path());
        EXPECT_EQ(check(bytes.data(), bytes.size()), "") << entry.path().filename();
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

TEST(FuzzCorpusReplay, ProfileText) { ReplayCorpus("profile_text", CheckProfileText); }

TEST(FuzzCorpusReplay, ConfigFile) { ReplayCorpus("config_file", CheckConfigFile); }

TEST(FuzzCorpusReplay, SettingsLoad) {
    ScratchFolder scratch;
    ReplayCorpus("settings_load", [&](const uint8_t* data, size_t size) {
        return CheckSettingsLoad(data, size, scratch.Path().string());
    });
}

}  // namespace
