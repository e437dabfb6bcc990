// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <filesystem>

#include "settings/AtomicFile.h"
#include "settings/RecentList.h"
#include "settings_test_support.h"

using namespace tavrin;

namespace {

class RecentListTest : public ::testing::Test {
protected:
    void TearDown() override { SetFileFailureHook(nullptr); }
    void Use(const std::string& path) {
        ASSERT_TRUE(UpdateRecentList(defaultPath, recent, path));
        EXPECT_EQ(ReadRecentList(defaultPath), recent);
    }

    TempFolder folder;
    std::string defaultPath = folder.File("TAVRINDEFAULT.tvs");
    RecentFiles recent;
};

}  // namespace

TEST_F(RecentListTest, NoDefaultFileMeansNoEntries) {
    EXPECT_EQ(ReadRecentList(defaultPath), RecentFiles{});
    EXPECT_EQ(ReadRecentList(""), RecentFiles{});
    EXPECT_TRUE(RecentMenuEntries(RecentFiles{}).empty());
}

TEST_F(RecentListTest, FirstUseWritesAllFourKeysWithEmptyValues) {
    Use("/a.tvs");
    EXPECT_EQ(ReadBytes(defaultPath),
              "[Settings]\nRecent TVS1=/a.tvs\nRecent TVS2=\nRecent TVS3=\nRecent TVS4=\n");
}

TEST_F(RecentListTest, NewPathsPushDownAndTheFifthDropsTheOldest) {
    for (const char* p : {"/1.tvs", "/2.tvs", "/3.tvs", "/4.tvs"}) Use(p);
    EXPECT_EQ(recent, (RecentFiles{"/4.tvs", "/3.tvs", "/2.tvs", "/1.tvs"}));
    Use("/5.tvs");
    EXPECT_EQ(recent, (RecentFiles{"/5.tvs", "/4.tvs", "/3.tvs", "/2.tvs"}));
}

TEST_F(RecentListTest, AListedPathMovesToTheTopAndTheOthersKeepTheirOrder) {
    recent = {"/a.tvs", "/b.tvs", "/c.tvs", "/d.tvs"};
    Use("/c.tvs");
    EXPECT_EQ(recent, (RecentFiles{"/c.tvs", "/a.tvs", "/b.tvs", "/d.tvs"}));
    Use("/c.tvs");
    EXPECT_EQ(recent, (RecentFiles{"/c.tvs", "/a.tvs", "/b.tvs", "/d.tvs"}));
    Use("/d.tvs");
    EXPECT_EQ(recent, (RecentFiles{"/d.tvs", "/c.tvs", "/a.tvs", "/b.tvs"}));
}

TEST_F(RecentListTest, PathsDifferingInLetterCaseAreSeparateEntries) {
    Use("/Home/a.tvs");
    Use("/home/a.tvs");
    EXPECT_EQ(recent, (RecentFiles{"/home/a.tvs", "/Home/a.tvs", "", ""}));
}

TEST_F(RecentListTest, MenuStopsAtTheFirstEmptyEntry) {
    RecentFiles stored = ReadRecentList(Fixture("recent_gap.tvs"));
    EXPECT_EQ(stored, (RecentFiles{"/home/user/one.tvs", "", "/home/user/three.tvs", "/home/user/four.tvs"}));
    EXPECT_EQ(RecentMenuEntries(stored), std::vector<std::string>{"/home/user/one.tvs"});
    EXPECT_EQ(RecentMenuEntries({"/a", "/b", "/c", "/d"}).size(), 4u);
}

TEST_F(RecentListTest, UpdatingLeavesTheSettingsKeysAlone) {
    std::filesystem::copy_file(Fixture("valid.tvs"), defaultPath);
    recent = ReadRecentList(defaultPath);
    Use("/x.tvs");
    std::string valid = ReadBytes(Fixture("valid.tvs"));
    EXPECT_EQ(ReadBytes(defaultPath), valid + "Recent TVS1=/x.tvs\nRecent TVS2=\nRecent TVS3=\nRecent TVS4=\n");
}

TEST_F(RecentListTest, AFailedStoreIsSeenAsTheOldListOnRereading) {
    Use("/a.tvs");
    std::string before = ReadBytes(defaultPath);
    SetFileFailureHook([](FileWriteStep) { return true; });
    EXPECT_FALSE(UpdateRecentList(defaultPath, recent, "/b.tvs"));
    EXPECT_EQ(ReadBytes(defaultPath), before);
    EXPECT_EQ(ReadRecentList(defaultPath), (RecentFiles{"/a.tvs", "", "", ""}));
}
