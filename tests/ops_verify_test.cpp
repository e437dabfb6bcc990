// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "card/CardLayout.h"
#include "ops/Operations.h"
#include "ops/ScanBanks.h"
#include "support/OpsTestKit.h"
#include "support/ScriptedHost.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;

namespace {

class VerifyTest : public ::testing::Test {
protected:
    void SetUp() override {
        card_ = MakeCard(dir_.File("card.img"), 4096, 2048);
        fileA_ = dir_.File("a.bit");
        fileB_ = dir_.File("b.rbf");
        WriteBitFile(fileA_, RandomBytes(30000, 1), true);
        WriteFileBytes(fileB_, RandomBytes(12000, 2));
        SetModified(fileA_, 2020, 6, 7, 12, 30, 15);
        SetModified(fileB_, 2021, 1, 2, 3, 4, 5);
        host_.controls.fileName[0] = fileA_;
        host_.controls.fileName[2] = fileB_;
        host_.initializeDisk = true;
        host_.answers = {MsgAnswer::Yes};
        ASSERT_TRUE(OnProgram(host_, card_.context)) << host_.LastMessage();
        host_.ClearRecords();
        card_.NewPlan();
    }

    bool Verify() { return OnVerify(host_, card_.context); }

    void ExpectVerifyFailed() {
        EXPECT_FALSE(Verify());
        EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kVerifyFailed.english});
        EXPECT_EQ(host_.messages.back().icon, MsgIcon::Error);
        EXPECT_TRUE(card_.AllClosed());
    }

    uint32_t BankSectors() {
        const Bytes bank = ReadSectors(card_.image, 0, 1);
        return bank[12] | bank[13] << 8 | bank[14] << 16 | uint32_t{bank[15]} << 24;
    }

    void FlipByte(uint64_t byteOffset) {
        Bytes sector = ReadSectors(card_.image, byteOffset / 512, 1);
        sector[byteOffset % 512] ^= 0x01;
        WriteSectors(card_.image, byteOffset / 512, sector);
    }

    TempDir dir_;
    CardUnderTest card_;
    ScriptedHost host_ = ImageHost();
    std::string fileA_, fileB_;
};

TEST_F(VerifyTest, FreshlyProgrammedBankPassesWithProgressAndResets) {
    const Bytes before = ReadFileBytes(card_.image);
    ASSERT_TRUE(Verify()) << host_.LastMessage();
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kVerifyCompleted.english});
    const auto percents = host_.PercentTextsOf(OpButton::Verify);
    ASSERT_GE(percents.size(), 3u);
    EXPECT_EQ(percents[percents.size() - 2], "100%");
    EXPECT_EQ(percents.back(), "0%");
    EXPECT_EQ(host_.diskListRefreshes, 0) << "Verify alone does not rebuild the disk list";
    EXPECT_EQ(host_.untickCount, 1);
    EXPECT_TRUE(card_.plan->writes.empty());
    EXPECT_EQ(ReadFileBytes(card_.image), before);
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(VerifyTest, FirstSectorsAreReadOnceUnderTheClaim) {
    size_t readsBeforeClaim = SIZE_MAX;
    card_.context.claimDrive = [this, &readsBeforeClaim](int drive) {
        readsBeforeClaim = card_.plan->reads.size();
        return ClaimDrive(drive);
    };
    ASSERT_TRUE(Verify()) << host_.LastMessage();
    int headerReads = 0;
    for (const TransferRecord& read : card_.plan->reads) headerReads += read.offset < 4 * 512;
    EXPECT_EQ(headerReads, 1);
    EXPECT_EQ(readsBeforeClaim, 0u);
}

// Every open of a removable disk costs the card commands: a look at sectors already read goes to
// the card only for more than them, or when the path names another file or device by now.
TEST_F(VerifyTest, ALookAtHeldSectorsOpensTheCardOnlyForMoreOrForAnotherTarget) {
    const HeaderReadScope scope(card_.context);
    BankTable table;
    const auto look = [&] { return ScanBanks(*card_.context.makeDevice(), card_.drive, table); };
    ASSERT_TRUE(look());
    ASSERT_TRUE(look());
    EXPECT_TRUE(table.bankPresent[0]);
    EXPECT_EQ(card_.plan->opens, 1);

    auto device = card_.context.makeDevice();
    ASSERT_TRUE(device->OpenToLook(card_.drive));
    EXPECT_EQ(card_.plan->opens, 1);
    uint8_t record[512];
    ASSERT_TRUE(device->Read(static_cast<int32_t>(RecordOffset(table.bankStart[0], 0)), record, sizeof record));
    EXPECT_EQ(card_.plan->opens, 2);
    device->Close();
    device.reset();

    std::filesystem::copy_file(card_.image, card_.image + ".new");
    std::filesystem::rename(card_.image + ".new", card_.image);
    EXPECT_FALSE(look());
    EXPECT_EQ(card_.plan->opens, 3);
    EXPECT_TRUE(card_.AllClosed());
}

// Another run erased the card between the frame's look and the claim.
TEST_F(VerifyTest, WhatTheClaimFindsIsWhatCounts) {
    card_.context.claimDrive = [this](int drive) {
        WriteSectors(card_.image, 0, Bytes(4 * 512, 0));
        return ClaimDrive(drive);
    };
    EXPECT_FALSE(Verify());
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kNotTavrinFormat.english});
}

TEST_F(VerifyTest, DataDifferenceAnywhereInTheBankFails) {
    const uint32_t sectors = BankSectors();
    for (uint64_t at : {uint64_t{128 * 512}, uint64_t{(128 + sectors) * 512 - 1}}) {
        FlipByte(at);
        ExpectVerifyFailed();
        FlipByte(at);
        host_.ClearRecords();
    }
    EXPECT_TRUE(Verify());
}

TEST_F(VerifyTest, RecordDifferencesFail) {
    // A named slot whose record is zero, and an empty slot whose record holds a file.
    const Bytes record3 = ReadSectors(card_.image, 122, 1);
    WriteSectors(card_.image, 122, Bytes(512, 0));
    ExpectVerifyFailed();
    WriteSectors(card_.image, 122, record3);
    WriteSectors(card_.image, 121, record3);
    host_.ClearRecords();
    ExpectVerifyFailed();
}

TEST_F(VerifyTest, ModifiedTimeIsComparedUpToTheTensOfMinutes) {
    SetModified(fileA_, 2020, 6, 7, 12, 39, 59);
    EXPECT_TRUE(Verify()) << host_.LastMessage();
    host_.ClearRecords();
    SetModified(fileA_, 2020, 6, 7, 12, 40, 15);
    ExpectVerifyFailed();
    host_.ClearRecords();
    SetModified(fileA_, 2020, 6, 8, 12, 30, 15);
    ExpectVerifyFailed();
}

TEST_F(VerifyTest, SectorCountThatDiffersFromTheFilesFails) {
    const Bytes original = ReadSectors(card_.image, 0, 1);
    for (uint32_t count : {0u, BankSectors() - 32, BankSectors() + 32}) {
        Bytes bank = original;
        for (int i = 0; i < 4; ++i) bank[12 + i] = static_cast<uint8_t>(count >> (8 * i));
        WriteSectors(card_.image, 0, bank);
        ExpectVerifyFailed();
        host_.ClearRecords();
    }
}

TEST_F(VerifyTest, ReadFailuresNameTheirAddresses) {
    card_.plan->failAtByte = 128 * 512 + 2 * 16384;
    EXPECT_FALSE(Verify());
    EXPECT_EQ(host_.LastMessage(), "Read sector error at Addr [00018000].");
    EXPECT_TRUE(card_.AllClosed());

    card_.plan->failAtByte = 125 * 512;
    host_.ClearRecords();
    EXPECT_FALSE(Verify());
    EXPECT_EQ(host_.LastMessage(), "Read sector error at Addr [0000FA00].");

    card_.NewPlan();
    card_.plan->failReadNumber = 1;  // the bank sectors, read once under the claim
    card_.plan->numberedFailuresStay = true;
    host_.ClearRecords();
    EXPECT_FALSE(Verify());
    EXPECT_EQ(host_.LastMessage(), texts::kCannotReadDisk.english);
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(VerifyTest, CardWithoutSignatureIsNotTavrinFormat) {
    WriteSectors(card_.image, 0, Bytes(512, 0));
    EXPECT_FALSE(Verify());
    EXPECT_EQ(host_.LastMessage(), texts::kNotTavrinFormat.english);
    EXPECT_EQ(host_.messages.back().icon, MsgIcon::Error);
}

TEST_F(VerifyTest, FileThatCannotBeReadToItsEndIsNamed) {
    for (bool endEarly : {false, true}) {
        card_.context.openFile = FailingReadOpener(fileB_, 5000, endEarly, CountingOpener(card_.counts));
        host_.ClearRecords();
        EXPECT_FALSE(Verify());
        EXPECT_EQ(host_.LastMessage(), "Bit File [" + fileB_ + "] error!!");
        EXPECT_TRUE(card_.AllClosed());
    }
}

TEST_F(VerifyTest, ParallelModeNeedsFile1AndIgnoresTheOthers) {
    host_.controls.parallelMode = 1;
    host_.controls.fileName[0] = "";
    EXPECT_FALSE(Verify());
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kSpecifyFile1.english});
    EXPECT_EQ(card_.plan->reads.size(), 1u) << "only the frame's scan reads the card";
}

TEST_F(VerifyTest, BankWithNoDataSectorsNoLongerPassesAgainstNamedFiles) {
    Bytes bank = ReadSectors(card_.image, 0, 1);
    std::fill(bank.begin() + 12, bank.begin() + 16, 0);
    WriteSectors(card_.image, 0, bank);
    ExpectVerifyFailed();
}

TEST_F(VerifyTest, MissingFileGetsTheNameCheckMessage) {
    std::filesystem::remove(fileB_);
    EXPECT_FALSE(Verify());
    EXPECT_EQ(host_.LastMessage(), "File [" + fileB_ + "] does not exist.");
}

}  // namespace
