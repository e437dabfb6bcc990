// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "card/CardLayout.h"
#include "ops/ScanBanks.h"
#include "support/MemoryDevice.h"

using namespace tavrin;

namespace {

std::vector<uint8_t> Bytes(const SectorBytes& sector, size_t from, size_t count) {
    return {sector.begin() + from, sector.begin() + from + count};
}

bool AllZero(const SectorBytes& sector, size_t from) {
    for (size_t i = from; i < sector.size(); ++i)
        if (sector[i] != 0) return false;
    return true;
}

void PutBankSector(MemoryDevice& card, uint32_t sector, uint32_t start, uint32_t count) {
    SectorBytes bytes = BuildBankSector(count, start, 2, 4, 0, 0, 0x01);
    std::memcpy(card.Sector(sector), bytes.data(), bytes.size());
}

}  // namespace

TEST(CardBankSector, Bank1ExampleBytes) {
    SectorBytes sector = BuildBankSector(64, 128, 2, 4, 0, 0, 0x01);
    std::vector<uint8_t> head{0x54, 0x56, 0x01, 0x48, 0x00, 0x00, 0x00, 0x00,
                              0x80, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00, 0x00};
    EXPECT_EQ(Bytes(sector, 0, 16), head);
    EXPECT_TRUE(AllZero(sector, 16));
    EXPECT_TRUE(HasTavrinSignature(sector.data()));
}

TEST(CardBankSector, ConfigurationByteAndDelay) {
    EXPECT_EQ(BuildBankSector(32, 128, 3, 15, 0, 1, 0x01)[3], 0xFF);
    EXPECT_EQ(BuildBankSector(32, 128, 2, 4, 0, 0, 0x01)[3], 0x48);
    EXPECT_EQ(BuildBankSector(32, 128, 0, 0, 255, 0, 0x01)[4], 0xFF);
    // Settings out of range must not spill into the width code or the reserved bytes.
    SectorBytes odd = BuildBankSector(32, 128, 7, 31, 511, 0, 0x01);
    EXPECT_EQ(odd[3], 0xFC);
    EXPECT_EQ(odd[4], 0xFF);
    EXPECT_EQ(odd[5], 0x00);
}

TEST(CardBankSector, WidthCodeAndEncodingFollowTheSlotsInUse) {
    struct Case {
        int parallel;
        unsigned mask;
        int width;
        Encoding encoding;
    };
    const Case cases[] = {
        {1, 0xFF, 3, Encoding::Parallel}, {1, 0x01, 3, Encoding::Parallel}, {0, 0x01, 0, Encoding::FourLane},
        {0, 0x03, 1, Encoding::FourLane}, {0, 0x05, 2, Encoding::FourLane}, {0, 0x08, 2, Encoding::FourLane},
        {0, 0x10, 3, Encoding::EightLane}, {0, 0x81, 3, Encoding::EightLane}, {0, 0x00, 0, Encoding::FourLane},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WidthCode(c.parallel, c.mask), c.width) << c.mask;
        EXPECT_EQ(EncodingFor(c.parallel, c.mask), c.encoding) << c.mask;
        EXPECT_EQ(BuildBankSector(32, 128, 0, 0, 0, c.parallel, c.mask)[3], c.width);
    }
    EXPECT_EQ(LaneBytesPerChunk(Encoding::Parallel), 16384u);
    EXPECT_EQ(LaneBytesPerChunk(Encoding::FourLane), 4096u);
    EXPECT_EQ(LaneBytesPerChunk(Encoding::EightLane), 2048u);
}

TEST(CardGeometry, DataSectorCountAlwaysLeavesRoomForAChunkMore) {
    EXPECT_EQ(DataSectorCount(0), 32u);
    EXPECT_EQ(DataSectorCount(16383), 32u);
    EXPECT_EQ(DataSectorCount(16384), 64u);
    EXPECT_EQ(DataSectorCount(UINT32_MAX), 8388608u);
}

TEST(CardGeometry, LaterBanksStartAHundredSectorsBehindThePreviousData) {
    BankTable table;
    table.bankPresent[0] = 1;
    table.bankStart[0] = 128;
    table.bankLength[0] = 64;
    EXPECT_EQ(BankDataStart(table, 0), 128u);
    EXPECT_EQ(BankDataStart(table, 1), 292u);
    EXPECT_TRUE(BankStartFits(BankDataStart(table, 1)));
}

TEST(CardGeometry, DamagedTableCannotWrapToASmallStart) {
    BankTable table;
    table.bankStart[1] = 0xFFFFFF00u;
    table.bankLength[1] = 0x200u;
    uint64_t start = BankDataStart(table, 2);
    EXPECT_EQ(start, 0x100000164ull);
    EXPECT_FALSE(BankStartFits(start));
    EXPECT_FALSE(BankStartFits(BankDataStart(table, 4)));
    EXPECT_FALSE(BankStartFits(BankDataStart(table, -1)));
}

TEST(CardGeometry, StartsOutsideTheReachableSectorsDoNotFit) {
    EXPECT_FALSE(BankStartFits(0));
    EXPECT_FALSE(BankStartFits(127));
    EXPECT_TRUE(BankStartFits(128));
    EXPECT_TRUE(BankStartFits(4194303));
    EXPECT_FALSE(BankStartFits(4194304));
}

TEST(CardScan, ExaminesEveryBankSectorAndClosesTheDevice) {
    MemoryDevice card(64);
    PutBankSector(card, 0, 128, 64);
    PutBankSector(card, 2, 500, 96);
    PutBankSector(card, 3, 900, 32);
    card.unreadableSectors.insert(3);
    BankTable table;
    table.bankPresent[1] = 1;
    table.bankStart[1] = 77;

    ASSERT_TRUE(ScanBanks(card, 5, table));
    EXPECT_EQ(card.openedTarget, 5);
    EXPECT_FALSE(card.isOpen);
    EXPECT_EQ(card.closeCount, 1);
    EXPECT_EQ(table.bankPresent, (std::array<int, 4>{1, 0, 1, 0}));
    EXPECT_EQ(table.bankStart, (std::array<uint32_t, 4>{128, 0, 500, 0}));
    EXPECT_EQ(table.bankLength, (std::array<uint32_t, 4>{64, 0, 96, 0}));
}

TEST(CardScan, DeviceThatDoesNotOpenLeavesEveryBankAbsent) {
    MemoryDevice card(64);
    PutBankSector(card, 0, 128, 64);
    card.openable = false;
    BankTable table;
    table.bankPresent[0] = 1;
    table.bankStart[0] = 128;
    EXPECT_FALSE(ScanBanks(card, 0, table));
    EXPECT_EQ(table.bankPresent, (std::array<int, 4>{}));
    EXPECT_EQ(table.bankStart, (std::array<uint32_t, 4>{}));
}

TEST(CardScan, CardSmallerThanTheBankSectors) {
    MemoryDevice card(1);
    PutBankSector(card, 0, 128, 32);
    BankTable table;
    ASSERT_TRUE(ScanBanks(card, 0, table));
    EXPECT_EQ(table.bankPresent, (std::array<int, 4>{1, 0, 0, 0}));
}

TEST(CardFileRecord, ExampleBytes) {
    FileTime time{2008, 3, 5, 14, 7, 9};
    SectorBytes record = BuildFileRecord("C:\\Work\\Top.BIT", 1000, time);
    std::vector<uint8_t> name(260, 0);
    std::memcpy(name.data(), "top.bit", 7);
    EXPECT_EQ(Bytes(record, 0, 260), name);
    EXPECT_EQ(Bytes(record, 260, 4), (std::vector<uint8_t>{0xE8, 0x03, 0x00, 0x00}));
    std::vector<uint8_t> date(16, 0);
    std::memcpy(date.data(), "2008/03/05", 10);
    EXPECT_EQ(Bytes(record, 264, 16), date);
    std::vector<uint8_t> clock(8);
    std::memcpy(clock.data(), "14:07:09", 8);
    EXPECT_EQ(Bytes(record, 280, 8), clock);
    EXPECT_TRUE(AllZero(record, 288));
}

TEST(CardFileRecord, UnknownTime) {
    SectorBytes record = BuildFileRecord("a.rbf", 0, FileTime{});
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 264)), "0000/00/00");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 280), 8), "-1:-1:-1");
    EXPECT_TRUE(AllZero(record, 288));
}

TEST(CardFileRecord, StrangeTimeStaysInsideItsFields) {
    FileTime time{INT_MIN, INT_MAX, INT_MIN, INT_MIN, INT_MAX, -7};
    SectorBytes record = BuildFileRecord("a.bin", 1, time);
    EXPECT_EQ(record[279], 0);  // the date keeps its terminating zero
    EXPECT_NE(record[287], 0);
    EXPECT_TRUE(AllZero(record, 288));
}

TEST(CardFileRecord, BaseNameIsCutAtEverySeparator) {
    EXPECT_EQ(RecordBaseName("C:\\Work\\Top.BIT"), "top.bit");
    EXPECT_EQ(RecordBaseName("/home/User/Designs/Top.BIT"), "top.bit");
    EXPECT_EQ(RecordBaseName("D:Top.Rbf"), "top.rbf");
    EXPECT_EQ(RecordBaseName("Top.bin"), "top.bin");
    EXPECT_EQ(RecordBaseName("/dir/"), "");
    // Only ASCII capitals change: the bytes of other characters are kept as they are.
    EXPECT_EQ(RecordBaseName("/x/\xC3\x84Z.bit"), "\xC3\x84z.bit");
}

TEST(CardFileRecord, LongBaseNameIsCutTo259Bytes) {
    std::string base(300, 'N');
    SectorBytes record = BuildFileRecord("/tmp/" + base, 5, FileTime{});
    EXPECT_EQ(RecordBaseName("/tmp/" + base), std::string(259, 'n'));
    EXPECT_EQ(record[258], 'n');
    EXPECT_EQ(record[259], 0);
    EXPECT_EQ(record[260], 5);
}

TEST(CardBits, ReverseBits) {
    EXPECT_EQ(ReverseBits(0x01), 0x80);
    EXPECT_EQ(ReverseBits(0x80), 0x01);
    EXPECT_EQ(ReverseBits(0x0F), 0xF0);
    for (unsigned v = 0; v < 256; ++v) EXPECT_EQ(ReverseBits(ReverseBits(static_cast<uint8_t>(v))), v);
    uint8_t sync[] = {0xAA, 0x99, 0x55, 0x66};
    ReverseBitsInPlace(sync, sizeof sync);
    EXPECT_EQ(std::vector<uint8_t>(sync, sync + 4), (std::vector<uint8_t>{0x55, 0x99, 0xAA, 0x66}));
}
