// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "card/CardLayout.h"

using namespace tavrin;

TEST(CardFormatBankSector, ParseGivesBackWhatWasBuilt) {
    const SectorBytes bytes = BankSector::Make(96, 292, 1, 15, 200, 0, 0x0C).Build();
    const BankSector bank = BankSector::Parse(bytes.data());
    EXPECT_TRUE(bank.signature);
    EXPECT_EQ(bank.dataStart, 292u);
    EXPECT_EQ(bank.dataSectorCount, 96u);
    EXPECT_EQ(bank.delay, 200);
    EXPECT_EQ(bank.Retry(), 15);
    EXPECT_EQ(bank.Frequency(), 1);
    EXPECT_EQ(bank.WidthCode(), 2);
    EXPECT_EQ(bank.Build(), bytes);
}

TEST(CardFormatBankSector, ZeroSectorIsNoBankAndStaysZero) {
    const SectorBytes zero{};
    const BankSector bank = BankSector::Parse(zero.data());
    EXPECT_FALSE(bank.signature);
    EXPECT_EQ(bank.Build(), zero);
}

TEST(CardFormatFileRecord, ParseGivesBackWhatWasBuilt) {
    const SectorBytes bytes = FileRecord::Make("/d/Top.BIT", 123456, {2024, 2, 29, 23, 59, 58}).Build();
    const FileRecord record = FileRecord::Parse(bytes.data());
    EXPECT_EQ(record.name, "top.bit");
    EXPECT_EQ(record.length, 123456u);
    EXPECT_EQ(record.date, "2024/02/29");
    EXPECT_EQ(record.time, "23:59:58");
    EXPECT_EQ(record.Build(), bytes);
}

TEST(CardFormatFileRecord, TextsStopAtTheirFields) {
    SectorBytes bytes{};
    bytes.fill('a');
    const FileRecord record = FileRecord::Parse(bytes.data());
    EXPECT_EQ(record.name, std::string(260, 'a'));
    EXPECT_EQ(record.date, std::string(16, 'a'));
    EXPECT_EQ(record.time, std::string(8, 'a'));
}

TEST(CardFormatFileRecord, VerifyComparesUpToTheTensOfMinutes) {
    const SectorBytes built = BuildFileRecord("a.rbf", 1, {2024, 1, 1, 10, 20, 30});
    SectorBytes later = BuildFileRecord("a.rbf", 1, {2024, 1, 1, 10, 29, 59});
    EXPECT_TRUE(RecordsAgree(later.data(), built.data()));
    later = BuildFileRecord("a.rbf", 1, {2024, 1, 1, 10, 30, 30});
    EXPECT_FALSE(RecordsAgree(later.data(), built.data()));
}

TEST(CardFormatPlaces, RecordsStandInTheEightSectorsBeforeTheData) {
    EXPECT_EQ(RecordOffset(128, 0), 120 * 512);
    EXPECT_EQ(RecordOffset(128, 7), 127 * 512);
    EXPECT_LT(RecordOffset(3, 0), 0) << "a damaged start must not wrap to a reachable place";
    EXPECT_EQ(BankSectorOffset(3), 3 * 512);
}
