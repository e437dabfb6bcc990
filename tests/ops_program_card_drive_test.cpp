// SPDX-License-Identifier: Apache-2.0
// Program on a card that the system lists as a drive, with its first volume mounted: the volume
// is unmounted and cleared before anything is written, and when it cannot be unmounted nothing
// is written at all.
#include <gtest/gtest.h>

#include "card/CardLayout.h"
#include "ops/Operations.h"
#include "support/FakeDriveTree.h"
#include "support/OpsTestKit.h"
#include "support/ScriptedHost.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;

namespace {

constexpr uint64_t kSectors = 8192;
constexpr uint64_t kPartitionStart = 2048;

class ProgramCardDriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        node_ = tree_.AddDisk("sdb", kSectors, /*removable=*/true, /*sdCard=*/true);
        tree_.AddPartition("sdb", 1, kPartitionStart, kSectors - kPartitionStart);
        tree_.Mount("sdb1", "/media/card");
        FakeDriveTree::WriteBytes(node_, 510, {0x55, 0xAA});  // the card still has its MBR
        FakeDriveTree::WriteBytes(node_, kPartitionStart * 512, Bytes(512, 0x5A));
        file_ = dir_.File("top.rbf");
        WriteFileBytes(file_, RandomBytes(5000, 9));

        context_.makeDevice = MakeFaultInjectingFactory(CreateSectorDevice, plan_);
        context_.openFile = CountingOpener(counts_);
        RefreshDiskList(context_.card, context_.makeDevice);
        ASSERT_EQ(context_.card.Drive(), tree_.DriveNumber("sdb"));
        host_.controls.fileName[0] = file_;
        host_.controls.parallelMode = 1;
        host_.initializeDisk = true;
        host_.answers = {MsgAnswer::Yes};
    }

    FakeDriveTree tree_;
    TempDir dir_;
    std::string node_, file_;
    std::shared_ptr<FaultPlan> plan_ = std::make_shared<FaultPlan>();
    std::shared_ptr<OpenCounts> counts_ = std::make_shared<OpenCounts>();
    OperationContext context_;
    ScriptedHost host_;
};

TEST_F(ProgramCardDriveTest, TheMountedVolumeIsUnmountedAndClearedBeforeTheBankIsWritten) {
    ASSERT_TRUE(OnProgram(host_, context_)) << host_.LastMessage();
    EXPECT_EQ(tree_.UnmountCalls(), std::vector<std::string>{"/media/card"});
    EXPECT_EQ(FakeDriveTree::ReadBytes(node_, kPartitionStart * 512, 512), Bytes(512, 0));
    EXPECT_TRUE(HasTavrinSignature(FakeDriveTree::ReadBytes(node_, 0, 512).data()));
    EXPECT_EQ(counts_->files, 0);
    EXPECT_EQ(plan_->openDevices, 0);
    // The card is still listed after the refresh, and still selected.
    EXPECT_EQ(context_.card.Drive(), tree_.DriveNumber("sdb"));
}

TEST_F(ProgramCardDriveTest, AVolumeThatStaysMountedStopsProgramBeforeAnyWrite) {
    tree_.SetUnmountSucceeds(false);
    const Bytes before = FakeDriveTree::ReadBytes(node_, 0, kSectors * 512);
    EXPECT_FALSE(OnProgram(host_, context_));
    EXPECT_EQ(host_.LastMessage(), texts::kClearLogicalDriveFailed.english);
    EXPECT_EQ(host_.messages.back().icon, MsgIcon::Warning);
    EXPECT_EQ(FakeDriveTree::ReadBytes(node_, 0, kSectors * 512), before);
    EXPECT_TRUE(plan_->writes.empty());
    EXPECT_EQ(counts_->files, 0);
    EXPECT_EQ(plan_->openDevices, 0);
}

}  // namespace
