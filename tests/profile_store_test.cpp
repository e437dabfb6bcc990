// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "settings/AtomicFile.h"
#include "settings/ProfileStore.h"
#include "settings_test_support.h"

using namespace tavrin;

namespace {

class ProfileStoreTest : public ::testing::Test {
protected:
    void TearDown() override { SetFileFailureHook(nullptr); }
    void FailAt(FileWriteStep failing) {
        SetFileFailureHook([failing](FileWriteStep step) { return step == failing; });
    }
    TempFolder folder;
};

}  // namespace

TEST_F(ProfileStoreTest, WritingCreatesTheFileAndReadingFindsTheKeys) {
    std::string path = folder.File("new.tvs");
    ASSERT_TRUE(WriteProfileString(path, "Settings", "Retry", "4"));
    ASSERT_TRUE(WriteProfileString(path, "Settings", "File Name1", ""));
    ASSERT_TRUE(WriteProfileString(path, "Settings", "retry", "5"));
    EXPECT_EQ(ReadBytes(path), "[Settings]\nRetry=5\nFile Name1=\n");

    ProfileSnapshot file = ProfileSnapshot::Read(path);
    EXPECT_EQ(file.GetString("settings", "RETRY", "x", kProfileNumberCapacity), "5");
    EXPECT_EQ(file.GetString("Settings", "File Name1", "x", kProfileNameCapacity), "");
    EXPECT_EQ(file.GetString("Settings", "Delay", "0", kProfileNumberCapacity), "0");
    EXPECT_EQ(ProfileSnapshot::Read(folder.File("absent.tvs")).GetString("Settings", "Retry", "4", 29), "4");
}

TEST_F(ProfileStoreTest, ValuesAreCutToTheReadersCapacity) {
    std::string path = folder.File("long.tvs");
    std::string name = "/" + std::string(300, 'n');
    ASSERT_TRUE(WriteProfileStrings(path, "Settings", {{"File Name1", name}, {"Delay", std::string(40, '1')}}));
    ProfileSnapshot file = ProfileSnapshot::Read(path);
    EXPECT_EQ(file.GetString("Settings", "File Name1", "", kProfileNameCapacity), name.substr(0, 259));
    EXPECT_EQ(file.GetString("Settings", "Delay", "", kProfileNumberCapacity), std::string(29, '1'));
}

TEST_F(ProfileStoreTest, SeveralKeysAtOnceEqualWritingThemOneByOne) {
    const std::string start = "; mine\r\n[Settings]\r\nDelay=9\r\n[Other]\r\nk=v\r\n";
    const ProfileKeyValues pairs = {{"Retry", "3"}, {"DELAY", "1"}, {"File Name1", "/a"}, {"Retry", "2"}};
    std::string batch = folder.File("batch.tvs"), single = folder.File("single.tvs");
    WriteBytes(batch, start);
    WriteBytes(single, start);
    ASSERT_TRUE(WriteProfileStrings(batch, "Settings", pairs));
    for (const auto& [key, value] : pairs) ASSERT_TRUE(WriteProfileString(single, "Settings", key, value));
    EXPECT_EQ(ReadBytes(batch), ReadBytes(single));
    EXPECT_EQ(ReadBytes(batch), "; mine\r\n[Settings]\r\nDelay=1\r\nRetry=2\r\nFile Name1=/a\r\n[Other]\r\nk=v\r\n");
}

TEST_F(ProfileStoreTest, AFailedReplacementLeavesTheOldFileAndNoTemporaryFile) {
    const std::string path = folder.File("keep.tvs");
    const std::string old = "[Settings]\r\nRetry=1\r\n; hand-written\r\n";
    for (FileWriteStep step : {FileWriteStep::CreateTemporary, FileWriteStep::WriteTemporary, FileWriteStep::Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        WriteBytes(path, old);
        FailAt(step);
        EXPECT_FALSE(WriteProfileStrings(path, "Settings", {{"Retry", "2"}, {"File Name1", std::string(5000, 'x')}}));
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"keep.tvs"});
    }
    SetFileFailureHook(nullptr);
    EXPECT_TRUE(WriteProfileString(path, "Settings", "Retry", "2"));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"keep.tvs"});
}

TEST_F(ProfileStoreTest, AFailedFirstWriteCreatesNothing) {
    FailAt(FileWriteStep::WriteTemporary);
    EXPECT_FALSE(WriteProfileString(folder.File("none.tvs"), "Settings", "Retry", "2"));
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_FALSE(WriteProfileString(folder.File("missing-folder/a.tvs"), "Settings", "Retry", "2"));
}

TEST_F(ProfileStoreTest, ALineBreakInAValueIsNotWrittenButTheOtherKeysAre) {
    std::string path = folder.File("inject.tvs");
    WriteBytes(path, "[Settings]\nRetry=1\n");
    EXPECT_FALSE(WriteProfileString(path, "Settings", "File Name1", "/a\nRetry=9"));
    EXPECT_EQ(ReadBytes(path), "[Settings]\nRetry=1\n");
    EXPECT_FALSE(WriteProfileStrings(path, "Settings", {{"File Name1", "/a\r\n"}, {"Delay", "3"}}));
    EXPECT_EQ(ReadBytes(path), "[Settings]\nRetry=1\nDelay=3\n");
}

TEST_F(ProfileStoreTest, AFolderAtThePathIsNeitherReadNorReplaced) {
    std::string path = folder.File("dir.tvs");
    std::filesystem::create_directory(path);
    EXPECT_EQ(ProfileSnapshot::Read(path).GetString("Settings", "Retry", "4", 29), "4");
    EXPECT_FALSE(WriteProfileString(path, "Settings", "Retry", "2"));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST_F(ProfileStoreTest, ReplacementKeepsPermissionsAndSymbolicLinks) {
    std::string target = folder.File("real.tvs"), link = folder.File("link.tvs");
    WriteBytes(target, "[Settings]\n");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink("real.tvs", link);
    ASSERT_TRUE(WriteProfileString(link, "Settings", "Retry", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "[Settings]\nRetry=2\n");
    struct stat st{};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(ProfileStoreTest, ALinkThatIsNotTheWritersIsReplacedNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can plant a link owned by another user";
    std::string target = folder.File("victim.conf"), link = folder.File("planted.tvs");
    WriteBytes(target, "keep\n");
    std::filesystem::create_symlink(target, link);
    ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(WriteProfileString(link, "Settings", "Retry", "2"));
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(link), "[Settings]\nRetry=2\n");
    EXPECT_EQ(ReadBytes(target), "keep\n");
}
