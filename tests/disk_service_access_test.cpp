// SPDX-License-Identifier: Apache-2.0
// A card that the system refuses to open for this user, opened and unmounted by the desktop's
// disk service instead: only the checked disk is written, and only once nothing is mounted.
// (Prompts and messages are checked against a mock udisks2 in tests/udisks.)
#include <gtest/gtest.h>

#include "card/CardLayout.h"
#include "disk/DiskLists.h"
#include "disk/Drives.h"
#include "ops/Operations.h"
#include "support/OpsTestKit.h"
#include "support/ScriptedHost.h"
#include "support/ServiceAccessRig.h"
#include "text/Texts.h"

using namespace tavrin;

using namespace opstest;
using Result = DiskService::Result;

namespace {

constexpr uint64_t kSectors = 8192;
constexpr uint64_t kPartitionStart = 4096;

class DiskServiceAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        card_ = MakeCard(rig_.Node(), kSectors, kPartitionStart);
        WriteFileBytes(dir_.File("a.rbf"), RandomBytes(5000, 1));
        card_.context.state.fileName[0] = dir_.File("a.rbf");
        before_ = ReadFileBytes(rig_.Node());
    }

    bool Program() {
        host_ = ImageHost();
        host_.initializeDisk = true;
        host_.answers = {MsgAnswer::Yes, MsgAnswer::Yes};
        RescanBanks(card_.context.card, card_.context.makeDevice);
        return ProgramCard(host_, card_.context);
    }

    ServiceAccessRig rig_{kSectors, kPartitionStart};
    TempDir dir_;
    CardUnderTest card_;
    ScriptedHost host_;
    Bytes before_;
};

TEST_F(DiskServiceAccessTest, MountedCardIsUnmountedByTheServiceBeforeAnythingIsWritten) {
    rig_.Tree().Mount("sdb1", "/media/card");
    ASSERT_TRUE(Program()) << host_.LastMessage();
    EXPECT_EQ(rig_.Script().unmounted, std::vector<dev_t>{rig_.Tree().DeviceNumber("sdb1")});
    EXPECT_TRUE(HasTavrinSignature(ReadSectors(rig_.Node(), 0, 1).data()));

    // The service says done, but the volume is still mounted: nothing is written.
    WriteFileBytes(rig_.Node(), before_);
    rig_.Tree().Mount("sdb1", "/media/card");
    rig_.Script().unmountLeavesMounted = true;
    EXPECT_FALSE(Program());
    EXPECT_EQ(host_.LastMessage(), texts::kClearLogicalDriveFailed.english);
    EXPECT_EQ(ReadFileBytes(rig_.Node()), before_);
}

TEST_F(DiskServiceAccessTest, DescriptorOfAnotherFileIsNeverUsed) {
    const std::string other = dir_.File("other.img");
    MakeCardImage(other, kSectors, kPartitionStart);
    const Bytes otherBefore = ReadFileBytes(other);
    rig_.Script().handOut = other;
    EXPECT_FALSE(Program());
    EXPECT_EQ(host_.LastMessage(), texts::kCannotOpenDisk.english);
    EXPECT_EQ(ReadFileBytes(other), otherBefore);
    EXPECT_EQ(ReadFileBytes(rig_.Node()), before_);
}

TEST_F(DiskServiceAccessTest, CardOpenedOnlyForReadingIsNeverWritten) {
    rig_.Script().busyWhenWritable = true;
    EXPECT_FALSE(Program());
    EXPECT_EQ(host_.LastMessage(), texts::kClearLogicalDriveFailed.english);
    EXPECT_EQ(ReadFileBytes(rig_.Node()), before_);
}

TEST_F(DiskServiceAccessTest, ListingNeverPromptsAndShowsTheCardWithoutItsMark) {
    rig_.Script().openResult = Result::Refused;  // not allowed yet: a quiet request is refused
    const int drive = rig_.Tree().DriveNumber("sdb");
    const ListModel list = BuildDiskList(CreateSectorDevice, -1);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].text, "Disk" + std::to_string(drive));
    EXPECT_EQ(rig_.Script().openPrompts, std::vector<bool>{false});
    EXPECT_EQ(LastAccessRefusal(), AccessRefusal::None) << "a quiet refusal is not the user's";

    rig_.Script().removable = false;
    EXPECT_TRUE(BuildDiskList(CreateSectorDevice, -1).entries.empty());
}

}  // namespace
