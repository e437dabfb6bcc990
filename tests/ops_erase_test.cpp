// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "card/CardLayout.h"
#include "ops/Operations.h"
#include "support/OpsTestKit.h"
#include "support/ScriptedHost.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;

namespace {

// Ten whole 512 KiB chunks and 500 sectors more.
constexpr uint64_t kCardSectors = 10 * 1024 + 500;

class EraseTest : public ::testing::Test {
protected:
    void SetUp() override {
        card_ = MakeCard(dir_.File("card.img"), kCardSectors);
        WriteSectors(card_.image, 0, RandomBytes(kCardSectors * 512, 1));
        Bytes bank(512, 0x33);
        bank[0] = 'T';
        bank[1] = 'V';
        WriteSectors(card_.image, 0, bank);
        before_ = ReadFileBytes(card_.image);
    }

    bool Erase(bool quick, std::deque<MsgAnswer> answers) {
        card_.context.operation.quickErase = quick;
        host_.answers = std::move(answers);
        return OnErase(host_, card_.context);
    }

    TempDir dir_;
    CardUnderTest card_;
    ScriptedHost host_ = ImageHost();
    Bytes before_;
};

TEST_F(EraseTest, QuickEraseZeroesTheFourBankSectorsOnly) {
    card_.context.operation.language = 1;  // Erase speaks English anyway
    ASSERT_TRUE(Erase(true, {MsgAnswer::Yes}));
    EXPECT_EQ(host_.MessageTexts(), (std::vector<std::string>{texts::kQuickEraseQuestion, texts::kQuickEraseCompleted}));
    EXPECT_EQ(host_.PercentTextsOf(OpButton::Erase), (std::vector<std::string>{"25%", "50%", "75%", "100%", "0%"}));
    Bytes expected = before_;
    std::fill(expected.begin(), expected.begin() + 4 * 512, 0);
    EXPECT_EQ(ReadFileBytes(card_.image), expected);
    EXPECT_EQ(host_.diskListRefreshes, 1);
    EXPECT_EQ(card_.context.card.bankList.entries.size(), 1u);
    EXPECT_EQ(card_.context.card.bankList.entries[0].text, "1 (New)");
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(EraseTest, FullEraseZeroesWholeChunksOnly) {
    ASSERT_TRUE(Erase(false, {MsgAnswer::Yes}));
    EXPECT_EQ(host_.MessageTexts(), (std::vector<std::string>{texts::kEraseQuestion, texts::kEraseCompleted}));
    EXPECT_EQ(host_.PercentTextsOf(OpButton::Erase),
              (std::vector<std::string>{"10%", "20%", "30%", "40%", "50%", "60%", "70%", "80%", "90%", "100%", "0%"}));
    Bytes expected = before_;
    std::fill(expected.begin(), expected.begin() + 10 * 1024 * 512, 0);
    EXPECT_EQ(ReadFileBytes(card_.image), expected);
    EXPECT_FALSE(host_.buttonStates.empty());
    EXPECT_TRUE(host_.buttonStates.back().enabled);
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(EraseTest, NoChangesNothing) {
    EXPECT_FALSE(Erase(true, {MsgAnswer::No}));
    EXPECT_FALSE(Erase(false, {MsgAnswer::No}));
    EXPECT_EQ(ReadFileBytes(card_.image), before_);
    EXPECT_EQ(host_.diskListRefreshes, 0);
    EXPECT_EQ(host_.untickCount, 2);
}

TEST_F(EraseTest, CardNotInTavrinFormatNeedsTheBoxAndAYes) {
    WriteSectors(card_.image, 0, Bytes(512, 0));
    before_ = ReadFileBytes(card_.image);
    EXPECT_FALSE(Erase(true, {}));
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kEraseNotTavrin});
    EXPECT_EQ(host_.messages.back().icon, MsgIcon::Warning);

    host_.ClearRecords();
    host_.initializeDisk = true;
    EXPECT_FALSE(Erase(true, {MsgAnswer::No}));
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kEraseAnyway});
    EXPECT_FALSE(host_.initializeDisk);
    EXPECT_EQ(ReadFileBytes(card_.image), before_);

    host_.ClearRecords();
    host_.initializeDisk = true;
    EXPECT_TRUE(Erase(true, {MsgAnswer::Yes, MsgAnswer::Yes}));
    EXPECT_EQ(host_.LastMessage(), texts::kQuickEraseCompleted);
}

TEST_F(EraseTest, WriteFailuresStopAtOnce) {
    card_.plan->failAtByte = 3 * 512;
    EXPECT_FALSE(Erase(true, {MsgAnswer::Yes}));
    EXPECT_EQ(host_.LastMessage(), texts::kQuickEraseFailed);
    EXPECT_EQ(host_.messages.back().icon, MsgIcon::Error);

    WriteFileBytes(card_.image, before_);
    card_.NewPlan();
    card_.plan->failAtByte = 4 * 524288;
    host_.ClearRecords();
    EXPECT_FALSE(Erase(false, {MsgAnswer::Yes}));
    EXPECT_EQ(host_.LastMessage(), texts::kEraseFailed);
    EXPECT_EQ(host_.PercentTextsOf(OpButton::Erase), (std::vector<std::string>{"10%", "20%", "30%", "40%", "0%"}));
    EXPECT_TRUE(card_.plan->WritesAfterFirstFailure().empty());
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(EraseTest, CardSmallerThanAChunkIsErasedWithoutAWrite) {
    card_ = MakeCard(dir_.File("small.img"), 1000);
    host_.initializeDisk = true;
    EXPECT_TRUE(Erase(false, {MsgAnswer::Yes, MsgAnswer::Yes}));
    EXPECT_EQ(host_.LastMessage(), texts::kEraseCompleted);
    EXPECT_TRUE(card_.plan->writes.empty());
}

TEST_F(EraseTest, UnreadableOrUnopenableCard) {
    card_.NewPlan();
    card_.plan->failReadNumber = 1;  // the first sectors, read once for the scan and the run
    card_.plan->numberedFailuresStay = true;
    EXPECT_FALSE(Erase(true, {MsgAnswer::Yes}));
    EXPECT_EQ(host_.LastMessage(), texts::kCannotReadDisk.english);

    card_.context.card.diskList = {};
    EXPECT_FALSE(Erase(true, {MsgAnswer::Yes}));
    EXPECT_EQ(host_.LastMessage(), texts::kCannotOpenDisk.english);
    EXPECT_EQ(ReadFileBytes(card_.image), before_);
    EXPECT_TRUE(card_.AllClosed());
}

}  // namespace

TEST_F(EraseTest, AFlushThatFailsIsNeverReportedAsErased) {
    for (bool quick : {true, false}) {
        WriteFileBytes(card_.image, before_);
        card_.NewPlan();
        card_.plan->failFlushNumber = 1;
        host_.ClearRecords();
        EXPECT_FALSE(Erase(quick, {MsgAnswer::Yes}));
        EXPECT_EQ(host_.LastMessage(), quick ? texts::kQuickEraseFailed : texts::kEraseFailed);
        EXPECT_EQ(host_.diskListRefreshes, 0);
        EXPECT_TRUE(card_.AllClosed());
    }
}
