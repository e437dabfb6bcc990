// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/AtomicFile.h"
#include "settings/SettingsFile.h"
#include "settings_test_support.h"

using namespace tavrin;

namespace {

class SettingsSaveTest : public ::testing::Test {
protected:
    SettingsSaveTest() {
        state.fileName[0] = "/new/one.bit";
        state.fileName[1] = "/new/two.rbf";
        operation = {1, 1, 0};
        hardware = {3, 1, 15, 255};
    }
    void TearDown() override { SetFileFailureHook(nullptr); }

    TempFolder folder;
    WindowState state;
    OperationSettings operation;
    HardwareSettings hardware;
};

}  // namespace

TEST(SettingsDefaultPath, JoinsTheStartupFolderAndGivesUpPast259Bytes) {
    EXPECT_EQ(DefaultSettingsPath("/home/user"), "/home/user/TAVRINDEFAULT.tvs");
    EXPECT_EQ(DefaultSettingsPath("/"), "/TAVRINDEFAULT.tvs");
    EXPECT_EQ(DefaultSettingsPath(""), "");
    const std::string name = "/TAVRINDEFAULT.tvs";
    std::string fits(259 - name.size(), 'd');
    fits[0] = '/';
    EXPECT_EQ(DefaultSettingsPath(fits).size(), 259u);
    EXPECT_EQ(DefaultSettingsPath(fits + "d"), "");
}

TEST_F(SettingsSaveTest, WritesAllSixteenKeysInOrder) {
    std::string path = folder.File("new.tvs");
    ASSERT_TRUE(SaveSettings(path, state, operation, hardware));
    ExpectSameLines(ReadBytes(path),
                    "[Settings]\nFile Name1=/new/one.bit\nFile Name2=/new/two.rbf\nFile Name3=\nFile Name4=\n"
                    "File Name5=\nFile Name6=\nFile Name7=\nFile Name8=\nParallel Mode=0\nLanguage=1\n"
                    "Auto Verify=1\nQuick Erase=0\nFrequency=3\nHi-speed=1\nRetry=15\nDelay=255\n");
}

TEST_F(SettingsSaveTest, SavedFileLoadsBackUnchanged) {
    std::string path = folder.File("round.tvs");
    state.fileName[7] = "/odd 'name\".bit";
    ASSERT_TRUE(SaveSettings(path, state, operation, hardware));
    WindowState s;
    OperationSettings o;
    HardwareSettings h;
    RecordingHost host;
    EXPECT_TRUE(LoadSettings(path, s, o, h, host));
    EXPECT_EQ(s.fileName, state.fileName);
    EXPECT_EQ(SettingsKeyValues(s, o, h), SettingsKeyValues(state, operation, hardware));
}

TEST_F(SettingsSaveTest, RewriteKeepsForeignLinesAndCrlfByteForByte) {
    std::string path = folder.File("mixed.tvs");
    std::filesystem::copy_file(Fixture("crlf_mixed.tvs"), path);
    ASSERT_TRUE(SaveSettings(path, state, operation, hardware));
    ExpectSameLines(ReadBytes(path), ReadBytes(Fixture("crlf_mixed.saved.tvs")));
}

TEST_F(SettingsSaveTest, RecentKeysOfTheDefaultFileStay) {
    std::string path = folder.File("TAVRINDEFAULT.tvs");
    std::filesystem::copy_file(Fixture("recent_gap.tvs"), path);
    ASSERT_TRUE(SaveSettings(path, state, operation, hardware));
    std::string saved = ReadBytes(path);
    std::string recent = ReadBytes(Fixture("recent_gap.tvs"));
    EXPECT_EQ(saved.substr(0, recent.size()), recent);
    EXPECT_NE(saved.find("Delay=255\n"), std::string::npos);
}

TEST_F(SettingsSaveTest, AFailedSaveLeavesThePreviousFile) {
    std::string path = folder.File("keep.tvs");
    std::filesystem::copy_file(Fixture("crlf_mixed.tvs"), path);
    SetFileFailureHook([](FileWriteStep step) { return step == FileWriteStep::WriteTemporary; });
    EXPECT_FALSE(SaveSettings(path, state, operation, hardware));
    EXPECT_EQ(ReadBytes(path), ReadBytes(Fixture("crlf_mixed.tvs")));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"keep.tvs"});
}

TEST_F(SettingsSaveTest, ReadableMeansAnOpenableFileNotAFolder) {
    EXPECT_TRUE(SettingsFileReadable(Fixture("valid.tvs")));
    EXPECT_FALSE(SettingsFileReadable(folder.File("absent.tvs")));
    EXPECT_FALSE(SettingsFileReadable(folder.File("")));
    EXPECT_FALSE(SettingsFileReadable(""));
}
