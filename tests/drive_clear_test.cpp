// SPDX-License-Identifier: Apache-2.0
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disk/Drives.h"
#include "support/FakeDriveTree.h"

using namespace tavrin;

namespace {

const std::vector<uint8_t> kFilled(512, 0xAB);
const std::vector<uint8_t> kZeros(512, 0);

std::vector<uint8_t> SectorAt(const std::string& path, uint64_t sector) {
    return FakeDriveTree::ReadBytes(path, sector * 512, 512);
}

void FillSectors(const std::string& path, std::initializer_list<uint64_t> sectors) {
    for (uint64_t s : sectors) FakeDriveTree::WriteBytes(path, s * 512, kFilled);
}

void WriteMbrSignature(const std::string& path) { FakeDriveTree::WriteBytes(path, 510, {0x55, 0xAA}); }

void WriteMbrEntry(const std::string& path, int index, uint8_t type, uint32_t start) {
    FakeDriveTree::WriteBytes(path, 446 + 16 * index + 4, {type});
    FakeDriveTree::WriteBytes(path, 446 + 16 * index + 8,
                              {static_cast<uint8_t>(start), static_cast<uint8_t>(start >> 8),
                               static_cast<uint8_t>(start >> 16), static_cast<uint8_t>(start >> 24)});
}

bool HaveTool(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

// sdb: partition 2 at sector 1024 listed before partition 1 at sector 2048.
class ClearLogicalDriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        node = tree.AddDisk("sdb", 8192, true);
        tree.AddPartition("sdb", 2, 1024, 512);
        tree.AddPartition("sdb", 1, 2048, 4096);
        WriteMbrSignature(node);
        FillSectors(node, {1024, 2047, 2048, 2049});
        drive = tree.DriveNumber("sdb");
    }

    FakeDriveTree tree;
    std::string node;
    int drive = -1;
};

TEST_F(ClearLogicalDriveTest, ZeroesTheFirstSectorOfTheLowestNumberedPartitionOnly) {
    EXPECT_TRUE(ClearLogicalDrive(drive));
    EXPECT_EQ(SectorAt(node, 2048), kZeros);
    EXPECT_EQ(SectorAt(node, 2047), kFilled);
    EXPECT_EQ(SectorAt(node, 2049), kFilled);
    EXPECT_EQ(SectorAt(node, 1024), kFilled);
    EXPECT_EQ(SectorAt(node, 0)[510], 0x55);
    EXPECT_TRUE(ClearLogicalDrive(drive)) << "Program clears twice";
}

TEST_F(ClearLogicalDriveTest, UnmountsEverythingOnTheDriveFirst) {
    tree.Mount("sdb1", "/media/card");
    tree.Mount("sdb2", "/media/card/inner");
    tree.AddMountLine("tmpfs /tmp tmpfs rw 0 0");
    EXPECT_TRUE(ClearLogicalDrive(drive));
    EXPECT_EQ(tree.UnmountCalls(), (std::vector<std::string>{"/media/card/inner", "/media/card"}));
    EXPECT_EQ(SectorAt(node, 2048), kZeros);
}

TEST_F(ClearLogicalDriveTest, AFailedUnmountClearsNothing) {
    tree.Mount("sdb1", "/media/card");
    tree.SetUnmountSucceeds(false);
    EXPECT_FALSE(ClearLogicalDrive(drive));
    EXPECT_EQ(SectorAt(node, 2048), kFilled);
}

// Programming bank 1 replaces the MBR; until the card is reinserted the kernel still shows the
// old partitions, and zeroing one would hit the bank's data.
TEST_F(ClearLogicalDriveTest, APartitionTableNoLongerOnTheCardIsNotTrusted) {
    FakeDriveTree::WriteBytes(node, 0, {'T', 'V', 1});
    FakeDriveTree::WriteBytes(node, 510, {0, 0});
    EXPECT_TRUE(ClearLogicalDrive(drive));
    EXPECT_EQ(SectorAt(node, 2048), kFilled);
}

TEST_F(ClearLogicalDriveTest, FailsWhenTheWriteIsRefused) {
    if (!tree.MakeReadOnly(node)) GTEST_SKIP() << "cannot make a file read-only here";
    EXPECT_FALSE(ClearLogicalDrive(drive));
    EXPECT_EQ(SectorAt(node, 2048), kFilled);
}

TEST(ClearLogicalDrive, ADriveWithoutPartitionsHasNothingToClearButIsUnmounted) {
    FakeDriveTree tree;
    const std::string node = tree.AddDisk("sdb", 64, true);
    WriteMbrSignature(node);
    FillSectors(node, {0, 1, 2, 3});
    tree.Mount("sdb", "/media/floppy");
    EXPECT_TRUE(ClearLogicalDrive(tree.DriveNumber("sdb")));
    EXPECT_EQ(tree.UnmountCalls(), (std::vector<std::string>{"/media/floppy"}));
    EXPECT_EQ(SectorAt(node, 0)[0], 0xAB);
}

TEST(ClearLogicalDrive, ANumberWithoutADriveFails) {
    FakeDriveTree tree;
    tree.AddDisk("sdb", 64, true);
    EXPECT_FALSE(ClearLogicalDrive(5));
    EXPECT_FALSE(ClearLogicalDrive(-1));
    tree.RemoveDisk("sdb");
    EXPECT_FALSE(ClearLogicalDrive(0));
}

TEST(ClearLogicalDriveOnImage, ZeroesTheBootSectorOfAFormattedPartition) {
    if (!HaveTool("sfdisk") || !HaveTool("mkfs.fat")) GTEST_SKIP() << "sfdisk or mkfs.fat missing";
    FakeDriveTree tree;
    const std::string image = tree.AddImage("card.img", 32768);
    ASSERT_EQ(std::system(("echo 'start=2048, type=c' | sfdisk -q '" + image + "' >/dev/null 2>&1").c_str()), 0);
    ASSERT_EQ(std::system(("mkfs.fat --offset 2048 '" + image + "' 15360 >/dev/null 2>&1").c_str()), 0);
    const auto mbr = SectorAt(image, 0);
    const auto rest = FakeDriveTree::ReadBytes(image, 2049 * 512, 64 * 512);
    ASSERT_EQ(SectorAt(image, 2048)[510], 0x55) << "a FAT boot sector";

    EXPECT_TRUE(ClearLogicalDrive(RegisterDrivePath(image)));
    EXPECT_EQ(SectorAt(image, 2048), kZeros);
    EXPECT_EQ(SectorAt(image, 0), mbr);
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 2049 * 512, 64 * 512), rest) << "only one sector";
}

TEST(ClearLogicalDriveOnImage, TakesTheFirstUsedEntryAndNeverABankSector) {
    FakeDriveTree tree;
    const std::string image = tree.AddImage("card.img", 4096);
    FillSectors(image, {1, 100, 200});
    const int drive = RegisterDrivePath(image);
    EXPECT_TRUE(ClearLogicalDrive(drive)) << "no MBR: nothing to clear";
    EXPECT_EQ(SectorAt(image, 100), kFilled);

    WriteMbrSignature(image);
    WriteMbrEntry(image, 1, 0x0C, 200);
    WriteMbrEntry(image, 2, 0x0C, 100);
    EXPECT_TRUE(ClearLogicalDrive(drive));
    EXPECT_EQ(SectorAt(image, 200), kZeros);
    EXPECT_EQ(SectorAt(image, 100), kFilled);

    WriteMbrEntry(image, 0, 0xEE, 1);  // a protective entry over the bank sectors
    EXPECT_TRUE(ClearLogicalDrive(drive));
    EXPECT_EQ(SectorAt(image, 1), kFilled);
}

// An unpartitioned FAT volume: its boot text where a table would stand is no table.
TEST(ClearLogicalDriveOnImage, BootTextIsNoPartitionTable) {
    FakeDriveTree tree;
    const std::string image = tree.AddImage("card.img", 4096);
    const std::string text = "\r\nNon-system disk or disk error\r\nReplace and strike any key when ready\r\n";
    FakeDriveTree::WriteBytes(image, 426, std::vector<uint8_t>(text.begin(), text.end()));
    WriteMbrSignature(image);
    const auto before = FakeDriveTree::ReadBytes(image, 0, 4096 * 512);
    EXPECT_TRUE(ClearLogicalDrive(RegisterDrivePath(image)));
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 0, 4096 * 512), before);
}

TEST(ClearLogicalDriveOnImage, AVolumeBeyondTheImageFails) {
    FakeDriveTree tree;
    const std::string image = tree.AddImage("card.img", 64);
    WriteMbrSignature(image);
    WriteMbrEntry(image, 0, 0x0C, 64);
    EXPECT_FALSE(ClearLogicalDrive(RegisterDrivePath(image)));
    EXPECT_EQ(std::filesystem::file_size(image), 64u * 512);
}

TEST(ClearLogicalDriveOnImage, AnImageMountedThroughALoopDeviceIsLeftAlone) {
    FakeDriveTree tree;
    const std::string image = tree.AddImage("card.img", 4096);
    WriteMbrSignature(image);
    WriteMbrEntry(image, 0, 0x0C, 2048);
    FillSectors(image, {2048});
    tree.AddDisk("loop0", 4096, false);
    tree.AddPartition("loop0", 1, 2048, 2048);
    std::filesystem::create_directories(tree.SysfsRoot() + "/block/loop0/loop");
    std::ofstream(tree.SysfsRoot() + "/block/loop0/loop/backing_file") << image << '\n';
    const int drive = RegisterDrivePath(image);
    EXPECT_TRUE(ClearLogicalDrive(drive)) << "a loop device with nothing mounted is no obstacle";
    FillSectors(image, {2048});

    tree.Mount("loop0p1", "/media/card");
    EXPECT_FALSE(ClearLogicalDrive(drive));
    EXPECT_EQ(SectorAt(image, 2048), kFilled);

    std::filesystem::remove(tree.MountsPath());
    EXPECT_FALSE(ClearLogicalDrive(drive)) << "mounts that cannot be seen are not taken for none";
    EXPECT_EQ(SectorAt(image, 2048), kFilled);
}

}  // namespace
