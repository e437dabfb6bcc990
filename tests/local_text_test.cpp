// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "text/Texts.h"

using namespace tavrin;

TEST(LocalText, PicksJapaneseForAnyNonZeroFlag) {
    EXPECT_STREQ(LocalText(0, texts::kProgram), "Program");
    EXPECT_STREQ(LocalText(1, texts::kProgram), "書き込み");
    EXPECT_STREQ(LocalText(-3, texts::kProgram), "書き込み");
}

TEST(LocalText, FormatsAddressesAndNamesLikePrintf) {
    EXPECT_EQ(FormatText(LocalText(0, texts::kWriteSectorError), 0x18000u),
              "Write sector error at Addr [00018000].");
    EXPECT_EQ(FormatText(LocalText(1, texts::kReadSectorError), 0x208000u), "アドレス[00208000]でリードセクタエラー");
    EXPECT_EQ(FormatText(LocalText(0, texts::kFileNameTooLong), 259), "File name length over 259 characters.");
    EXPECT_EQ(FormatText(texts::kPercentFormat, 20), "20%");
    std::string longName(5000, 'x');
    EXPECT_EQ(FormatText(LocalText(0, texts::kCannotOpenFile), longName.c_str()).size(), longName.size() + 20);
}

TEST(LocalText, VerifyButtonAndAutoVerifyGroupShareTheirJapaneseText) {
    EXPECT_STREQ(texts::kVerify.japanese, texts::kAutoVerify.japanese);
}

TEST(LocalText, EveryFileSlotHasItsOwnTexts) {
    std::set<std::string> seen;
    for (int i = 0; i < 8; ++i) {
        std::string n = std::to_string(i + 1);
        EXPECT_EQ(std::string(texts::kFileLabel[i].english), "File#" + n);
        EXPECT_NE(std::string(texts::kTipFileName[i].japanese).find("#" + n), std::string::npos);
        EXPECT_NE(std::string(texts::kTipBrowse[i].english).find("file#" + n), std::string::npos);
        seen.insert(texts::kTipBrowse[i].japanese);
    }
    EXPECT_EQ(seen.size(), 8u);
}
