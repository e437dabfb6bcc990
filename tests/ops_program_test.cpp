// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <utility>

#include "card/CardLayout.h"
#include "ops/CardRun.h"
#include "ops/Operations.h"
#include "support/OpsTestKit.h"
#include "support/ScriptedHost.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;

namespace {

constexpr uint64_t kPartitionStart = 2048;

uint32_t Le32(const Bytes& bytes, size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { card_ = MakeCard(dir_.File("card.img"), 8192, kPartitionStart); }

    std::string Rbf(const std::string& name, size_t size, uint32_t seed) {
        const std::string path = dir_.File(name);
        WriteFileBytes(path, RandomBytes(size, seed));
        return path;
    }

    // Program with the names in the window; a blank card is initialised with Yes.
    bool Program(const std::vector<std::string>& names, int parallel = 0) {
        host_.controls = {};
        for (size_t i = 0; i < names.size(); ++i) host_.controls.fileName[i] = names[i];
        host_.controls.parallelMode = parallel;
        return OnProgram(host_, card_.context);
    }

    bool ProgramBlank(const std::vector<std::string>& names, int parallel = 0) {
        host_.initializeDisk = true;
        host_.answers = {MsgAnswer::Yes};
        return Program(names, parallel);
    }

    void SelectBank(int index) { card_.context.card.bankList.selected = index; }

    Bytes Sector(uint64_t n) { return ReadSectors(card_.image, n, 1); }

    TempDir dir_;
    CardUnderTest card_;
    ScriptedHost host_ = ImageHost();
};

TEST_F(ProgramTest, BlankCardGetsBank1WithRecordsDataAndBankSector) {
    const std::string file = Rbf("Top.RBF", 10000, 1);
    SetModified(file, 2008, 3, 5, 14, 7, 9);
    const Bytes before = ReadFileBytes(card_.image);

    ASSERT_TRUE(ProgramBlank({file}, 1)) << host_.LastMessage();

    EXPECT_EQ(host_.MessageTexts(), (std::vector<std::string>{texts::kInitializationQuestion.english,
                                                             texts::kProgramCompleted.english}));
    const Bytes bank = Sector(0);
    EXPECT_EQ(Bytes(bank.begin(), bank.begin() + 16),
              (Bytes{'T', 'V', 1, 0x4B, 0, 0, 0, 0, 128, 0, 0, 0, 32, 0, 0, 0}));
    const Bytes record = Sector(120);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data())), "top.rbf");
    EXPECT_EQ(Le32(record, 260), 10000u);
    EXPECT_EQ(std::string(record.begin() + 264, record.begin() + 274), "2008/03/05");
    EXPECT_EQ(std::string(record.begin() + 280, record.begin() + 288), "14:07:09");
    for (uint64_t s = 121; s < 128; ++s) EXPECT_EQ(Sector(s), Bytes(512, 0)) << "record sector " << s;
    Bytes expected = ReadFileBytes(file);
    expected.resize(32 * 512, 0);
    EXPECT_EQ(ReadSectors(card_.image, 128, 32), expected);
    // The system's volume on the card loses its first sector; nothing else outside the bank moves.
    EXPECT_EQ(Sector(kPartitionStart), Bytes(512, 0));
    const Bytes after = ReadFileBytes(card_.image);
    for (uint64_t s = 1; s < 8192; ++s) {
        if ((s >= 120 && s < 160) || s == kPartitionStart) continue;
        ASSERT_TRUE(std::equal(after.begin() + s * 512, after.begin() + (s + 1) * 512, before.begin() + s * 512))
            << "sector " << s << " changed";
    }
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(ProgramTest, BanksOneToFourFollowEachOtherAndEachLeavesTheOthersAlone) {
    const std::vector<size_t> sizes{20000, 5000, 40000, 100};
    ASSERT_TRUE(ProgramBlank({Rbf("b1.rbf", sizes[0], 11)}));
    uint64_t expectedStart = 128;
    for (int k = 1; k < 4; ++k) {
        const uint32_t previousStart = Le32(Sector(k - 1), 8), previousLength = Le32(Sector(k - 1), 12);
        expectedStart = uint64_t{previousStart} + previousLength + 100;
        const Bytes before = ReadFileBytes(card_.image);
        SelectBank(k);
        ASSERT_TRUE(Program({Rbf("b" + std::to_string(k + 1) + ".rbf", sizes[k], 11 + k)})) << host_.LastMessage();
        const Bytes bank = Sector(k);
        EXPECT_EQ(Le32(bank, 8), expectedStart) << "bank " << k + 1;
        const uint32_t length = Le32(bank, 12);
        const Bytes after = ReadFileBytes(card_.image);
        for (uint64_t s = 0; s < 8192; ++s) {
            if (s == uint64_t(k) || (s >= expectedStart - 8 && s < expectedStart + length)) continue;
            ASSERT_TRUE(std::equal(after.begin() + s * 512, after.begin() + (s + 1) * 512, before.begin() + s * 512))
                << "programming bank " << k + 1 << " changed sector " << s;
        }
    }
    // Serial, File#1 only: four lanes, K = 4 x length.
    EXPECT_EQ(Le32(Sector(0), 12), DataSectorCount(4 * 20000));
    EXPECT_EQ(card_.context.card.bankList.entries.size(), 4u);
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(ProgramTest, SerialImageIsTheInterleaveOfTheLoadedFiles) {
    const std::string a = dir_.File("a.bit"), b = dir_.File("b.bin");
    const Bytes dataA = WriteBitFile(a, RandomBytes(9000, 3), /*reversed=*/true);
    const Bytes dataB = WriteBitFile(b, RandomBytes(2500, 4), /*reversed=*/false);
    ASSERT_TRUE(ProgramBlank({a, "", b}));

    Bytes laneA = dataA;
    for (auto& byte : laneA) byte = Mirror(byte);
    Bytes image = FourLaneImage({laneA, {}, dataB});
    const uint32_t sectors = DataSectorCount(static_cast<uint32_t>(image.size()));
    EXPECT_EQ(Sector(0)[3] & 3, 2);  // slot 3 in use: width code 2
    EXPECT_EQ(Le32(Sector(0), 12), sectors);
    image.resize(sectors * 512, 0);
    EXPECT_EQ(ReadSectors(card_.image, 128, sectors), image);
}

TEST_F(ProgramTest, EightLanesWhenASlotFromFiveOnIsUsed) {
    const std::string a = Rbf("a.rbf", 3000, 5), e = Rbf("e.rbf", 1000, 6);
    ASSERT_TRUE(ProgramBlank({a, "", "", "", e}));
    Bytes image = EightLaneImage({ReadFileBytes(a), {}, {}, {}, ReadFileBytes(e)});
    EXPECT_EQ(Sector(0)[3] & 3, 3);
    image.resize(DataSectorCount(8 * 3000) * 512, 0);
    EXPECT_EQ(ReadSectors(card_.image, 128, image.size() / 512), image);
}

TEST_F(ProgramTest, ProgressCountsDataSectorsAndTheFrameResetsEverything) {
    // 10,000 and 20,000 bytes in slots 1 and 2: K = 80,000, N = 160, five chunks.
    ASSERT_TRUE(ProgramBlank({Rbf("a.rbf", 10000, 7), Rbf("b.rbf", 20000, 8)}));
    EXPECT_EQ(Le32(Sector(0), 12), 160u);
    EXPECT_EQ(host_.PercentTextsOf(OpButton::Program),
              (std::vector<std::string>{"20%", "40%", "60%", "80%", "100%", "100%", "0%"}));
    EXPECT_EQ(host_.progress.back(), 0);
    EXPECT_EQ(host_.repaints, 6);
    EXPECT_EQ(host_.PercentTextsOf(OpButton::Verify), (std::vector<std::string>{"0%"}));
    EXPECT_FALSE(host_.initializeDisk);
    EXPECT_EQ(host_.untickCount, 1);
    EXPECT_EQ(host_.putBackCount, 1);
    EXPECT_EQ(host_.diskListRefreshes, 1);
    ASSERT_GE(host_.buttonStates.size(), 2u);
    EXPECT_TRUE(host_.buttonStates.back().enabled);
    // Rescanned before and after: the bank list now offers bank 2 as new.
    ASSERT_EQ(host_.shownSelections.size(), 2u);
    EXPECT_EQ(host_.shownSelections.back().bankList.entries.back().text, "2 (New)");
}

TEST_F(ProgramTest, BlankCardNeedsInitializeDiskAndAYes) {
    const std::string file = Rbf("a.rbf", 100, 9);
    const Bytes before = ReadFileBytes(card_.image);
    EXPECT_FALSE(Program({file}));
    EXPECT_EQ(host_.LastMessage(), texts::kInitializeFirst.english);
    EXPECT_EQ(host_.messages.back().icon, MsgIcon::Warning);

    host_.initializeDisk = true;
    host_.answers = {MsgAnswer::No};
    EXPECT_FALSE(Program({file}));
    EXPECT_EQ(host_.LastMessage(), texts::kInitializationQuestion.english);
    EXPECT_FALSE(host_.initializeDisk) << "the frame unticks the box after any run";
    EXPECT_EQ(ReadFileBytes(card_.image), before);
    EXPECT_EQ(host_.diskListRefreshes, 0);
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(ProgramTest, TavrinCardAsksNothingEvenWithInitializeDiskTicked) {
    const std::string file = Rbf("a.rbf", 100, 10);
    ASSERT_TRUE(ProgramBlank({file}));
    host_.ClearRecords();
    host_.initializeDisk = true;
    ASSERT_TRUE(Program({file}));
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kProgramCompleted.english});
    EXPECT_FALSE(host_.initializeDisk);
}

TEST_F(ProgramTest, OverrunQuestionNoKeepsTheCardAndYesDropsTheLaterBanks) {
    const std::string small = Rbf("small.rbf", 100, 12), big = Rbf("big.rbf", 100000, 13);
    ASSERT_TRUE(ProgramBlank({small}));
    SelectBank(1);
    ASSERT_TRUE(Program({small}));
    SelectBank(2);
    ASSERT_TRUE(Program({small}));
    const Bytes before = ReadFileBytes(card_.image);

    SelectBank(0);
    host_.ClearRecords();
    host_.answers = {MsgAnswer::No};
    card_.context.operation.language = 1;  // the question stays English
    EXPECT_FALSE(Program({big}));
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kOverrunQuestion});
    EXPECT_EQ(ReadFileBytes(card_.image), before);

    host_.ClearRecords();
    host_.answers = {MsgAnswer::Yes};
    ASSERT_TRUE(Program({big}));
    EXPECT_TRUE(HasTavrinSignature(Sector(0).data()));
    for (int k = 1; k < 4; ++k) EXPECT_EQ(Sector(k), Bytes(512, 0)) << "bank sector " << k;
    EXPECT_EQ(card_.context.card.bankList.entries.size(), 2u);
    EXPECT_EQ(card_.context.card.bankList.entries[1].text, "2 (New)");
}

TEST_F(ProgramTest, SmallerBankBeforeALaterOneAsksNothing) {
    const std::string file = Rbf("a.rbf", 100, 14);
    ASSERT_TRUE(ProgramBlank({file}));
    SelectBank(1);
    ASSERT_TRUE(Program({file}));
    SelectBank(0);
    host_.ClearRecords();
    ASSERT_TRUE(Program({file}));
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kProgramCompleted.english});
    EXPECT_TRUE(HasTavrinSignature(Sector(1).data()));
}

TEST_F(ProgramTest, Bank4NeverAsksAboutOverrun) {
    const std::string file = Rbf("a.rbf", 100, 15);
    ASSERT_TRUE(ProgramBlank({file}));
    for (int k = 1; k < 4; ++k) {
        SelectBank(k);
        ASSERT_TRUE(Program({file}));
    }
    host_.ClearRecords();
    ASSERT_TRUE(Program({Rbf("big.rbf", 200000, 16)}));
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kProgramCompleted.english});
}

TEST_F(ProgramTest, AutoVerifyRunsVerifyAndReportsBoth) {
    card_.context.operation.autoVerify = 1;
    ASSERT_TRUE(ProgramBlank({Rbf("a.rbf", 20000, 17)}, 1));
    EXPECT_EQ(host_.LastMessage(), texts::kProgramVerifyCompleted.english);
    EXPECT_EQ(host_.PercentTextsOf(OpButton::Verify), (std::vector<std::string>{"50%", "100%", "100%", "0%"}));
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(ProgramTest, DataWriteFailureNamesTheChunkAndLeavesTheBankAbsent) {
    const Bytes before = ReadFileBytes(card_.image);
    card_.plan->failAtByte = 128 * 512 + 2 * 16384;  // third chunk
    EXPECT_FALSE(ProgramBlank({Rbf("a.rbf", 100000, 18)}, 1));
    EXPECT_EQ(host_.LastMessage(), "Write sector error at Addr [00018000].");
    EXPECT_EQ(Sector(0), Bytes(before.begin(), before.begin() + 512)) << "bank sector must not be written";
    EXPECT_TRUE(card_.plan->WritesAfterFirstFailure().empty());
    EXPECT_EQ(host_.diskListRefreshes, 0);
    EXPECT_EQ(host_.PercentTextsOf(OpButton::Program).back(), "0%");
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(ProgramTest, RecordAndBankSectorWriteFailuresNameTheirOffsets) {
    const std::string file = Rbf("a.rbf", 100, 19);
    card_.plan->failAtByte = 123 * 512;  // record 4 of bank 1
    EXPECT_FALSE(ProgramBlank({file}));
    EXPECT_EQ(host_.LastMessage(), "Write sector error at Addr [0000F600].");
    EXPECT_FALSE(HasTavrinSignature(Sector(0).data()));

    card_.NewPlan();
    card_.plan->failWriteNumber = 2;  // the records with the data, then the bank sector
    EXPECT_FALSE(ProgramBlank({file}));
    EXPECT_EQ(host_.LastMessage(), "Write sector error at Addr [00000000].");
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(ProgramTest, FailedZeroingOfALaterBankSectorStopsTheRun) {
    const std::string small = Rbf("small.rbf", 100, 20);
    ASSERT_TRUE(ProgramBlank({small}));
    SelectBank(1);
    ASSERT_TRUE(Program({small}));
    SelectBank(0);
    card_.NewPlan();
    card_.plan->failWriteNumber = 2;  // bank sector 2, zeroed after bank sector 1
    host_.answers = {MsgAnswer::Yes};
    EXPECT_FALSE(Program({Rbf("big.rbf", 100000, 21)}));
    EXPECT_EQ(host_.LastMessage(), "Write sector error at Addr [00000200].");
    EXPECT_TRUE(card_.plan->WritesAfterFirstFailure().empty());
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(ProgramTest, CardIsWriteProtectedAgainstShrinkingFiles) {
    const std::string file = Rbf("a.rbf", 50000, 22);
    for (bool endEarly : {false, true}) {
        card_.context.openFile = FailingReadOpener(file, 40000, endEarly, CountingOpener(card_.counts));
        const Bytes before = ReadSectors(card_.image, 0, 1);
        EXPECT_FALSE(ProgramBlank({file}, 1));
        EXPECT_EQ(host_.LastMessage(), "Bit File [" + file + "] error!!");
        EXPECT_EQ(ReadSectors(card_.image, 0, 1), before) << "no bank sector after an unread file";
        EXPECT_TRUE(card_.AllClosed());
    }
}

TEST_F(ProgramTest, JapaneseMessagesComeFromTheCatalogue) {
    card_.context.operation.language = 1;
    EXPECT_FALSE(Program({Rbf("a.rbf", 100, 23)}));
    EXPECT_EQ(host_.LastMessage(), texts::kInitializeFirst.japanese);
    EXPECT_FALSE(Program({}));
    EXPECT_EQ(host_.LastMessage(), texts::kSpecifyFiles.japanese);
    EXPECT_FALSE(Program({"", Rbf("b.rbf", 100, 24)}, 1));
    EXPECT_EQ(host_.LastMessage(), texts::kSpecifyFile1.japanese);
}

TEST_F(ProgramTest, FilesThatCannotBeOpenedOrLoadedAreNamed) {
    const std::string bad = dir_.File("bad.bit");
    WriteFileBytes(bad, Bytes(100, 0x11));  // no sync word
    host_.initializeDisk = true;
    host_.answers = {MsgAnswer::Yes};
    EXPECT_FALSE(Program({Rbf("a.rbf", 100, 25), bad}));
    EXPECT_EQ(host_.LastMessage(), "Bit File [" + bad + "] error!!");

    const std::string gone = Rbf("gone.rbf", 100, 26);
    card_.context.openFile = [&](const std::string& path) -> std::unique_ptr<InputFile> {
        return path == gone ? nullptr : OpenInputFile(path);
    };
    host_.initializeDisk = true;
    host_.answers = {MsgAnswer::Yes};
    EXPECT_FALSE(Program({gone}));
    EXPECT_EQ(host_.LastMessage(), "Cannot open file [" + gone + "].");
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(ProgramTest, NoSelectedDiskCannotBeOpened) {
    card_.context.card.diskList = {};
    EXPECT_FALSE(Program({Rbf("a.rbf", 100, 27)}));
    EXPECT_EQ(host_.LastMessage(), texts::kCannotOpenDisk.english);
}

class ProgramRoomTest : public ::testing::Test {
protected:
    // A parallel bank of 32 sectors at 128 on a card of `sectors` sectors.
    bool ProgramOnCardOf(uint64_t sectors) {
        card_ = MakeCard(dir_.File("room.img"), sectors);
        const std::string file = dir_.File("a.rbf");
        WriteFileBytes(file, RandomBytes(16383, 30));
        host_.controls.fileName[0] = file;
        host_.controls.parallelMode = 1;
        host_.initializeDisk = true;
        host_.answers = {MsgAnswer::Yes};
        return OnProgram(host_, card_.context);
    }

    TempDir dir_;
    CardUnderTest card_;
    ScriptedHost host_ = ImageHost();
};

TEST_F(ProgramRoomTest, BankNeedsItsSectorsAndTheGapOnTheCard) {
    EXPECT_FALSE(ProgramOnCardOf(128 + 32 + 99));
    EXPECT_EQ(host_.LastMessage(), texts::kRemainMemory.english);
    EXPECT_EQ(ReadFileBytes(card_.image), Bytes((128 + 32 + 99) * 512, 0));
    EXPECT_TRUE(card_.AllClosed());

    host_.ClearRecords();
    EXPECT_TRUE(ProgramOnCardOf(128 + 32 + 100)) << host_.LastMessage();
}

TEST_F(ProgramRoomTest, DamagedBankTableFitsNowhere) {
    struct Damage {
        uint32_t start, length;
        uint64_t cardSectors;
    };
    // Bank 1's sector puts bank 2 below sector 128, with its data past 2 GiB on a card that
    // would have the room, or wraps around 32 bits.
    for (Damage d : {Damage{0, 0, 8192}, Damage{4194100, 100, 5000000}, Damage{0xFFFFFF00u, 0x200, 8192}}) {
        card_ = MakeCard(dir_.File("damaged.img"), d.cardSectors);
        Bytes bank1(512, 0);
        bank1[0] = 'T';
        bank1[1] = 'V';
        for (int i = 0; i < 4; ++i) {
            bank1[8 + i] = static_cast<uint8_t>(d.start >> (8 * i));
            bank1[12 + i] = static_cast<uint8_t>(d.length >> (8 * i));
        }
        WriteSectors(card_.image, 0, bank1);
        const std::string file = dir_.File("a.rbf");
        WriteFileBytes(file, RandomBytes(100, 31));
        host_.controls.fileName[0] = file;
        host_.controls.parallelMode = 1;
        card_.context.card.bankList.selected = 1;
        EXPECT_FALSE(OnProgram(host_, card_.context)) << d.start;
        EXPECT_EQ(host_.LastMessage(), texts::kRemainMemory.english) << d.start;
        EXPECT_TRUE(card_.plan->writes.empty()) << d.start;
        EXPECT_EQ(ReadSectors(card_.image, 0, 1), bank1);
    }
}

}  // namespace

// A present bank programmed again loses its bank sector before any data is written: a run cut
// short leaves it absent. Its old sector over the new data would now fail Verify too.
TEST_F(ProgramTest, AnInterruptedReprogramLeavesTheBankAbsent) {
    const std::string one = Rbf("one.rbf", 20000, 25), two = Rbf("two.rbf", 20000, 26);
    ASSERT_TRUE(ProgramBlank({one}));  // width code 0
    const Bytes oldSector = Sector(0);
    card_.NewPlan();
    card_.plan->failFlushNumber = 2;  // cut after zeroing, data and records, before the bank sector
    EXPECT_FALSE(Program({one, two}));
    EXPECT_EQ(host_.LastMessage(), "Write sector error at Addr [00010000].");
    EXPECT_EQ(Sector(0), Bytes(512, 0));

    WriteSectors(card_.image, 0, oldSector);
    host_.controls.fileName[1] = two;
    EXPECT_FALSE(OnVerify(host_, card_.context));
    EXPECT_EQ(host_.LastMessage(), texts::kVerifyFailed.english);
}

// The image is replaced by a link to another file while Program waits at its question: only
// the file that was checked may be written, so the run stops there.
TEST_F(ProgramTest, ATargetReplacedAtTheQuestionIsNotWritten) {
    class SwappingHost : public ScriptedHost {
    public:
        std::function<void()> atQuestion;
        MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon) override {
            if (buttons == MsgButtons::YesNo && atQuestion) std::exchange(atQuestion, nullptr)();
            return ScriptedHost::ShowMessage(text, buttons, icon);
        }
    } host;
    host.keepDiskList = true;
    host.initializeDisk = true;
    host.answers = {MsgAnswer::Yes};
    host.controls.fileName[0] = Rbf("a.rbf", 100, 27);
    const std::string other = dir_.File("other.img"), moved = card_.image + ".old";
    MakeCardImage(other, 8192);
    const Bytes otherBefore = ReadFileBytes(other), cardBefore = ReadFileBytes(card_.image);
    host.atQuestion = [&] {
        ASSERT_EQ(std::rename(card_.image.c_str(), moved.c_str()), 0);
        ASSERT_EQ(::symlink(other.c_str(), card_.image.c_str()), 0);
    };
    EXPECT_FALSE(OnProgram(host, card_.context));
    EXPECT_EQ(host.LastMessage(), texts::kCannotOpenDisk.english);
    EXPECT_EQ(ReadFileBytes(other), otherBefore);
    EXPECT_EQ(ReadFileBytes(moved), cardBefore);
}

TEST_F(ProgramTest, AFlushThatFailsIsNeverReportedAsProgrammed) {
    const std::string file = Rbf("a.rbf", 100, 24);
    card_.plan->failFlushNumber = 1;  // data and records not confirmed on the medium
    EXPECT_FALSE(ProgramBlank({file}));
    EXPECT_EQ(host_.LastMessage(), "Write sector error at Addr [00010000].");
    EXPECT_FALSE(HasTavrinSignature(Sector(0).data())) << "a bank must not be present over unconfirmed data";
    EXPECT_TRUE(card_.AllClosed());

    card_.NewPlan();
    card_.plan->failFlushNumber = 2;  // the bank sector itself not confirmed
    host_.ClearRecords();
    EXPECT_FALSE(ProgramBlank({file}));
    EXPECT_EQ(host_.LastMessage(), "Write sector error at Addr [00000000].");
    EXPECT_EQ(host_.diskListRefreshes, 0);
    EXPECT_TRUE(card_.AllClosed());
}

namespace {

// The hold is taken once, before the frame's first look at the card; a host that shows
// nothing afterwards (the command line) spares the card a last look.
TEST_F(ProgramTest, OneHoldBeforeTheFirstLookAndNoLookAfterSuccess) {
    int claims = 0;
    size_t readsAtClaim = SIZE_MAX;
    card_.context.claimDrive = [&](int drive) {
        ++claims;
        readsAtClaim = card_.plan->reads.size();
        return ClaimDrive(drive);
    };
    host_.showsCardAfterwards = false;
    ASSERT_TRUE(ProgramBlank({Rbf("a.rbf", 20000, 40)})) << host_.LastMessage();
    EXPECT_EQ(claims, 1);
    EXPECT_EQ(readsAtClaim, 0u);
    EXPECT_EQ(host_.diskListRefreshes, 0);
    EXPECT_LT(card_.plan->reads.back().sequence, card_.plan->writes.back().sequence);
    EXPECT_EQ(card_.plan->opens, 2) << "the frame's look and the open for writing: the run's look is the frame's";
    EXPECT_EQ(card_.context.frameClaim, nullptr) << "the frame lets go of the hold it took";
}

// A hold the caller took (the command line, for its whole run) stays the caller's; one that
// was refused quietly is asked for once more, by the run, which says why.
TEST_F(ProgramTest, AHoldTakenBeforeTheFrameStaysAndARefusedOneIsAskedOnceMore) {
    int claims = 0;
    card_.context.claimDrive = [&](int drive) {
        ++claims;
        return ClaimDrive(drive);
    };
    HoldCardQuietly(card_.context, card_.context.card.Drive());
    ASSERT_TRUE(ProgramBlank({Rbf("a.rbf", 20000, 41)})) << host_.LastMessage();
    EXPECT_EQ(claims, 1);
    EXPECT_NE(card_.context.frameClaim, nullptr);

    card_.context.frameClaim.reset();
    card_.context.frameClaimDrive = -1;
    claims = 0;
    card_.context.claimDrive = [&](int) {
        ++claims;
        return ClaimAttempt{nullptr, "another run is using this card"};
    };
    host_.ClearRecords();
    EXPECT_FALSE(Program({dir_.File("a.rbf")}));
    EXPECT_EQ(claims, 2);
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kCannotOpenDisk.english});
}

}  // namespace
