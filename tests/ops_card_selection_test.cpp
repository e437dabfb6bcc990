// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "ops/CardSelection.h"
#include "support/OpsTestKit.h"

using namespace tavrin;

using namespace opstest;

namespace {

BankTable Banks(std::initializer_list<std::pair<uint32_t, uint32_t>> present) {
    BankTable table;
    int k = 0;
    for (auto [start, length] : present) {
        table.bankPresent[k] = 1;
        table.bankStart[k] = start;
        table.bankLength[k] = length;
        ++k;
    }
    return table;
}

TEST(BankBarTest, ScaleFollowsTheEndOfTheHighestBank) {
    // C = 1,000,000: 1% is 10,000 sectors, 10% is 100,000.
    EXPECT_EQ(ComputeBankBar(Banks({}), 1000000).scale, -1);
    EXPECT_EQ(ComputeBankBar(Banks({{128, 9871}}), 1000000).scale, -1);
    EXPECT_EQ(ComputeBankBar(Banks({{128, 9872}}), 1000000).scale, 0);
    EXPECT_EQ(ComputeBankBar(Banks({{128, 99871}}), 1000000).scale, 0);
    EXPECT_EQ(ComputeBankBar(Banks({{128, 99872}}), 1000000).scale, 1);
}

TEST(BankBarTest, BlocksAreScaledToTheBarAndAtLeastTwoPixelsWide) {
    const BankBarGeometry bar = ComputeBankBar(Banks({{128, 64}, {292, 5000}}), 1000000);
    EXPECT_EQ(bar.scale, -1);  // end 5,292 below 1%
    EXPECT_EQ(bar.x[0], 128u * 230 / 10000);
    EXPECT_EQ(bar.width[0], 2u);  // 64 x 230 / 10,000 = 1
    EXPECT_EQ(bar.x[1], 292u * 230 / 10000);
    EXPECT_EQ(bar.width[1], 5000u * 230 / 10000);
    EXPECT_EQ(bar.width[3], 2u);
}

TEST(BankBarTest, TinyOrUnknownCardsAndDamagedTablesStayFinite) {
    // C counts as 1 when the drive could not be opened; C below 100 never divides by zero.
    for (uint32_t c : {0u, 1u, 50u, 99u}) {
        const BankBarGeometry bar = ComputeBankBar(Banks({{128, 32}}), c);
        EXPECT_EQ(bar.scale, 1) << c;
    }
    const BankBarGeometry damaged = ComputeBankBar(Banks({{0xFFFFFFFFu, 0xFFFFFFFFu}}), 4000000);
    EXPECT_EQ(damaged.scale, 1);
    EXPECT_EQ(damaged.x[0], static_cast<uint32_t>(uint64_t{0xFFFFFFFFu} * 230 / 4000000));
    EXPECT_EQ(damaged.width[0], damaged.x[0]);
}

TEST(RescanBanksTest, ScanFillsTableCountBarAndBankListKeepingTheSelection) {
    TempDir dir;
    CardUnderTest card = MakeCard(dir.File("card.img"), 100000);
    Bytes banks(4 * 512, 0);
    for (int k = 0; k < 2; ++k) {
        banks[k * 512] = 'T';
        banks[k * 512 + 1] = 'V';
        banks[k * 512 + 8] = k == 0 ? 128 : 36;  // 128 and 292 (0x124)
        banks[k * 512 + 9] = k == 0 ? 0 : 1;
        banks[k * 512 + 12] = 64;
    }
    WriteSectors(card.image, 0, banks);
    CardSelection& selection = card.context.card;
    selection.bankList.selected = 2;
    RescanBanks(selection, card.context.makeDevice);
    EXPECT_EQ(selection.sectorCount, 100000u);
    EXPECT_EQ(selection.banks.bankStart[1], 292u);
    ASSERT_EQ(selection.bankList.entries.size(), 3u);
    EXPECT_EQ(selection.bankList.entries[2].text, "3 (New)");
    EXPECT_EQ(selection.bankList.selected, 2);
    EXPECT_EQ(selection.bar.scale, -1);

    selection.diskList = {};  // nothing selected: nothing opens, C counts as 1
    RescanBanks(selection, card.context.makeDevice);
    EXPECT_EQ(selection.sectorCount, 1u);
    EXPECT_EQ(selection.banks.bankPresent[0], 0);
    EXPECT_EQ(selection.bar.scale, 1);
    EXPECT_EQ(selection.bankList.selected, 0);
    EXPECT_TRUE(card.AllClosed());
}

}  // namespace
