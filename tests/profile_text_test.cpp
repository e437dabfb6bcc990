// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "settings/ProfileText.h"

using namespace tavrin;

namespace {

std::string Value(const std::string& text, const std::string& key, const std::string& section = "Settings") {
    return FindProfileValue(text, section, key).value_or("<missing>");
}

}  // namespace

TEST(ProfileTextRead, NamesMatchWithoutRegardToCase) {
    std::string text = "[sETTINGS]\nfile name1=/a.bit\n  RETRY\t= 5\n";
    EXPECT_EQ(Value(text, "File Name1"), "/a.bit");
    EXPECT_EQ(Value(text, "Retry"), "5");
    EXPECT_EQ(Value(text, "Retry", "settings"), "5");
}

TEST(ProfileTextRead, ValueIsTrimmedTextAfterTheFirstEquals) {
    std::string text = "[Settings]\nA = b=c \nB=\t x y \t\nC=\nD=   \n";
    EXPECT_EQ(Value(text, "A"), "b=c");
    EXPECT_EQ(Value(text, "B"), "x y");
    EXPECT_EQ(Value(text, "C"), "");  // present but empty: not the default
    EXPECT_EQ(Value(text, "D"), "");
}

TEST(ProfileTextRead, OnePairOfMatchingEnclosingQuotesIsRemoved) {
    std::string text =
        "[Settings]\nA=\"/x y/a.bit\"\nB= '/b.rbf' \nC=\"mixed'\nD=\"\"twice\"\"\nE=\"\nF=''\nG=a\"b\"\n";
    EXPECT_EQ(Value(text, "A"), "/x y/a.bit");
    EXPECT_EQ(Value(text, "B"), "/b.rbf");
    EXPECT_EQ(Value(text, "C"), "\"mixed'");
    EXPECT_EQ(Value(text, "D"), "\"twice\"");
    EXPECT_EQ(Value(text, "E"), "\"");
    EXPECT_EQ(Value(text, "F"), "");
    EXPECT_EQ(Value(text, "G"), "a\"b\"");
}

TEST(ProfileTextRead, MissingSectionOrKeyIsNotFound) {
    std::string text = "Retry=1\n[Other]\nRetry=2\n[Settings]\nDelay=3\n";
    EXPECT_FALSE(FindProfileValue(text, "Settings", "Retry"));
    EXPECT_FALSE(FindProfileValue(text, "Missing", "Delay"));
    EXPECT_FALSE(FindProfileValue("", "Settings", "Delay"));
    EXPECT_EQ(Value(text, "Retry", "Other"), "2");
}

TEST(ProfileTextRead, CommentsAndMalformedLinesAreIgnored) {
    std::string text =
        "[Settings]\n;Retry=9\n# Delay=9\nno equals here\n=orphan\n[Broken\nRetry=3\n[ Settings ]\nDelay=4\n";
    EXPECT_EQ(Value(text, "Retry"), "3");  // "[Broken" does not end the section
    EXPECT_EQ(Value(text, "Delay"), "4");
    EXPECT_FALSE(FindProfileValue(text, "Settings", "no equals here"));
}

TEST(ProfileTextRead, CrlfAndByteOrderMarkAreNotPartOfNamesOrValues) {
    std::string text = "\xEF\xBB\xBF[Settings]\r\nRetry=7\r\nFile Name1=\"/q.bit\"\r\n";
    EXPECT_EQ(Value(text, "Retry"), "7");
    EXPECT_EQ(Value(text, "File Name1"), "/q.bit");
}

TEST(ProfileTextRead, FirstKeyWinsAndLaterSectionsOfTheSameNameAreSearched) {
    std::string text = "[Settings]\nRetry=1\nretry=2\n[Other]\n[settings]\nDelay=5\n";
    EXPECT_EQ(Value(text, "Retry"), "1");
    EXPECT_EQ(Value(text, "Delay"), "5");
}

TEST(ProfileTextWrite, NewTextGetsSectionAndLfEndings) {
    EXPECT_EQ(SetProfileValue("", "Settings", "Retry", "4"), "[Settings]\nRetry=4\n");
    EXPECT_EQ(SetProfileValue("", "Settings", "File Name2", ""), "[Settings]\nFile Name2=\n");
    EXPECT_EQ(SetProfileValue("[Other]\nx=1", "Settings", "Retry", "4"), "[Other]\nx=1\n[Settings]\nRetry=4\n");
    EXPECT_EQ(SetProfileValue("\xEF\xBB\xBF", "Settings", "Retry", "4"), "\xEF\xBB\xBF[Settings]\nRetry=4\n");
}

TEST(ProfileTextWrite, ExistingValueIsReplacedInPlace) {
    std::string text = "; top\r\n[settings]\r\n  RETRY = 5 ; old\r\nDelay=1\r\n[Next]\r\nRetry=9\r\n";
    EXPECT_EQ(SetProfileValue(text, "Settings", "Retry", "12"),
              "; top\r\n[settings]\r\n  RETRY = 12\r\nDelay=1\r\n[Next]\r\nRetry=9\r\n");
    EXPECT_EQ(SetProfileValue("[Settings]\nDelay=1", "Settings", "Delay", ""), "[Settings]\nDelay=");
}

TEST(ProfileTextWrite, NewKeyFollowsTheLastKeyLineOfItsSection) {
    std::string text = "[Settings]\r\nA=1\r\n; note\r\nB=2\r\n; after\r\n\r\n[Other]\r\nC=3\r\n";
    EXPECT_EQ(SetProfileValue(text, "SETTINGS", "Delay", "0"),
              "[Settings]\r\nA=1\r\n; note\r\nB=2\r\nDelay=0\r\n; after\r\n\r\n[Other]\r\nC=3\r\n");
    EXPECT_EQ(SetProfileValue("[Settings]\n; only a note\n[Other]\n", "Settings", "A", "1"),
              "[Settings]\nA=1\n; only a note\n[Other]\n");
    EXPECT_EQ(SetProfileValue("[Settings]\nA=1", "Settings", "B", "2"), "[Settings]\nA=1\nB=2\n");
}

TEST(ProfileTextWrite, ValuesWithLineBreaksCannotBeWritten) {
    EXPECT_TRUE(ProfileTextWritable("/home/u/a b 'c'.bit"));
    EXPECT_FALSE(ProfileTextWritable("/a\nRetry=9"));
    EXPECT_FALSE(ProfileTextWritable("/a\r"));
    EXPECT_FALSE(ProfileTextWritable(std::string("/a\0b", 4)));
}
