// SPDX-License-Identifier: Apache-2.0
#include <gtest/gtest.h>

#include "card/CardLayout.h"
#include "ops/BankInfoRows.h"
#include "ops/Operations.h"
#include "support/OpsTestKit.h"
#include "support/ScriptedHost.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;

namespace {

class CheckInfoTest : public ::testing::Test {
protected:
    void SetUp() override { card_ = MakeCard(dir_.File("card.img"), 4096); }

    std::string Rbf(const std::string& name, size_t size, int minute) {
        const std::string path = dir_.File(name);
        WriteFileBytes(path, RandomBytes(size, static_cast<uint32_t>(size)));
        SetModified(path, 2019, 11, 30, 23, minute, 1);
        return path;
    }

    void Program(const std::vector<std::string>& names, int parallel, int bank = 0) {
        host_.controls = {};
        for (size_t i = 0; i < names.size(); ++i) host_.controls.fileName[i] = names[i];
        host_.controls.parallelMode = parallel;
        host_.initializeDisk = true;
        host_.answers = {MsgAnswer::Yes};
        card_.context.card.bankList.selected = bank;
        ASSERT_TRUE(OnProgram(host_, card_.context)) << host_.LastMessage();
        host_.ClearRecords();
        card_.NewPlan();
    }

    bool CheckInfo() { return OnCheckInfo(host_, card_.context); }

    TempDir dir_;
    CardUnderTest card_;
    ScriptedHost host_ = ImageHost();
};

TEST_F(CheckInfoTest, RowsOfTheCardAndOfTheNamedFiles) {
    const std::string a = Rbf("Alpha.RBF", 1234, 5), c = Rbf("c.rbf", 99, 6);
    Program({a, "", c}, 0);
    host_.controls.fileName = {};
    host_.controls.fileName[1] = a;
    ASSERT_TRUE(CheckInfo()) << host_.LastMessage();
    ASSERT_EQ(host_.bankInfos.size(), 1u);
    const BankInfoData& info = host_.bankInfos[0];
    EXPECT_EQ(info.bankNumber, 1);
    EXPECT_EQ(info.cardParallelMode, 0);
    EXPECT_EQ(info.cardFileName, (std::array<std::string, 8>{"alpha.rbf", "", "c.rbf"}));
    EXPECT_EQ(info.cardSize[0], "1234");
    EXPECT_EQ(info.cardDate[2], "2019/11/30");
    EXPECT_EQ(info.cardTime[2], "23:06:01");
    EXPECT_EQ(info.cardSize[1], "");
    EXPECT_EQ(info.currentFileName, (std::array<std::string, 8>{"", "alpha.rbf"}));
    EXPECT_EQ(info.currentSize[1], "1234");
    EXPECT_EQ(info.currentDate[1], "2019/11/30");
    EXPECT_EQ(info.currentTime[1], "23:05:01");
    EXPECT_EQ(host_.putBackCount, 1);
    EXPECT_TRUE(card_.plan->writes.empty());
    EXPECT_TRUE(card_.AllClosed());
}

TEST_F(CheckInfoTest, CardModeIsParallelOnlyForRecord1AloneWithWidthCode3) {
    const std::string a = Rbf("a.rbf", 100, 1);
    Program({a}, 1);
    host_.controls.parallelMode = 0;
    ASSERT_TRUE(CheckInfo());
    EXPECT_EQ(host_.bankInfos.back().cardParallelMode, 1);
    EXPECT_EQ(host_.bankInfos.back().currentParallelMode, 0);

    Program({a}, 0);  // serial with File#1 only: width code 0
    host_.controls.parallelMode = 1;
    ASSERT_TRUE(CheckInfo());
    EXPECT_EQ(host_.bankInfos.back().cardParallelMode, 0);
    EXPECT_EQ(host_.bankInfos.back().currentParallelMode, 1);

    Program({a, "", "", "", a}, 0);  // width code 3 but two records
    ASSERT_TRUE(CheckInfo());
    EXPECT_EQ(host_.bankInfos.back().cardParallelMode, 0);
}

TEST_F(CheckInfoTest, ParallelModeShowsAndChecksFile1Only) {
    const std::string a = Rbf("a.rbf", 100, 1);
    Program({a}, 1);
    host_.controls.fileName = {a, dir_.File("missing.txt")};
    host_.controls.parallelMode = 1;
    ASSERT_TRUE(CheckInfo()) << host_.LastMessage();
    EXPECT_EQ(host_.bankInfos.back().currentFileName, (std::array<std::string, 8>{"a.rbf"}));
}

TEST_F(CheckInfoTest, NoNamesStillShowsTheDialog) {
    Program({Rbf("a.rbf", 100, 1)}, 0);
    host_.controls.fileName = {};
    ASSERT_TRUE(CheckInfo());
    EXPECT_EQ(host_.bankInfos.back().currentFileName, (std::array<std::string, 8>{}));
}

TEST_F(CheckInfoTest, AbsentBankOrBlankCardShowsNoDialog) {
    EXPECT_FALSE(CheckInfo());
    EXPECT_EQ(host_.MessageTexts(), std::vector<std::string>{texts::kNotTavrinFormat.english});
    EXPECT_EQ(host_.messages.back().icon, MsgIcon::Warning);

    Program({Rbf("a.rbf", 100, 1)}, 0);
    card_.context.card.bankList.selected = 1;  // "2 (New)"
    EXPECT_FALSE(CheckInfo());
    EXPECT_EQ(host_.LastMessage(), texts::kNotTavrinFormat.english);
    EXPECT_TRUE(host_.bankInfos.empty());
}

TEST_F(CheckInfoTest, UnreadableCardOrBadNameShowsNoDialog) {
    Program({Rbf("a.rbf", 100, 1)}, 0);
    card_.plan->failAtByte = 2 * 512;
    EXPECT_FALSE(CheckInfo());
    EXPECT_EQ(host_.LastMessage(), texts::kCannotViewInformation.english);
    EXPECT_TRUE(card_.AllClosed());

    card_.NewPlan();
    card_.context.operation.language = 1;
    host_.controls.fileName[3] = dir_.File("gone.rbf");
    EXPECT_FALSE(CheckInfo());
    EXPECT_EQ(host_.LastMessage(), FormatText(texts::kFileDoesNotExist.japanese, dir_.File("gone.rbf").c_str()));
    EXPECT_TRUE(host_.bankInfos.empty());
    EXPECT_TRUE(card_.AllClosed());
}

TEST(CardRowTest, FieldsStopAtTheirEndsAndSizesAreUnsigned) {
    SectorBytes record{};
    std::fill(record.begin(), record.begin() + 260, 'n');  // no terminating zero in the field
    record[260] = 0x00;
    record[261] = 0x00;
    record[262] = 0x00;
    record[263] = 0x80;
    std::fill(record.begin() + 264, record.begin() + 288, '9');
    const BankInfoRow row = CardRow(record);
    EXPECT_EQ(row.name, std::string(260, 'n'));
    EXPECT_EQ(row.size, "2147483648");
    EXPECT_EQ(row.date, std::string(16, '9'));
    EXPECT_EQ(row.time, std::string(8, '9'));

    record[0] = 0;
    EXPECT_EQ(CardRow(record).size, "") << "a row without a name is empty";
}

}  // namespace
