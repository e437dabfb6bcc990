// SPDX-License-Identifier: Apache-2.0
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "disk/Drives.h"
#include "disk/MbrPartitionTable.h"
#include "disk/linux/MountTable.h"
#include "disk/linux/SysfsDisks.h"
#include "support/FakeDriveTree.h"

using namespace tavrin;

namespace {

std::set<std::string> NamedPaths(int upTo) {
    std::set<std::string> paths;
    for (int drive = 0; drive < upTo; ++drive) {
        if (!DrivePath(drive).empty()) paths.insert(std::filesystem::path(DrivePath(drive)).filename());
    }
    return paths;
}

TEST(DriveDiscovery, VirtualDisksAndEmmcBootAreasGetNoNumber) {
    FakeDriveTree tree;
    for (const char* name : {"loop0", "ram0", "zram0", "dm-0", "md127", "sr0", "mmcblk0boot0", "mmcblk0boot1",
                             "mmcblk0rpmb"}) {
        tree.AddDisk(name, 64, true);
    }
    tree.AddDisk("mmcblk0", 64, false, true);
    tree.AddDisk("sdb", 64, true);
    EXPECT_EQ(NamedPaths(16), (std::set<std::string>{"mmcblk0", "sdb"}));
    EXPECT_EQ(tree.DriveNumber("mmcblk0"), 0);
    EXPECT_EQ(tree.DriveNumber("sdb"), 1);
    // Named explicitly, a skipped disk still gets a number.
    EXPECT_EQ(tree.DriveNumber("loop0"), 2);
}

TEST(DriveDiscovery, RemovableMeansRemovableOrAnSdCardWithANode) {
    FakeDriveTree tree;
    tree.AddDisk("mmcblk0", 64, false, /*sdCard=*/true);
    tree.AddDisk("sda", 64, false);
    tree.AddDisk("sdb", 64, true);
    tree.AddDisk("sdc", 64, true);
    tree.RemoveNode("sdc");
    EXPECT_TRUE(IsRemovableDisk(tree.DriveNumber("mmcblk0")));
    EXPECT_FALSE(IsRemovableDisk(tree.DriveNumber("sda")));
    EXPECT_TRUE(IsRemovableDisk(tree.DriveNumber("sdb")));
    const int noNode = 3;
    EXPECT_FALSE(IsRemovableDisk(noNode));
    EXPECT_EQ(DrivePath(noNode), "");
    EXPECT_FALSE(IsRemovableDisk(4));
    EXPECT_FALSE(IsRemovableDisk(-1));
    EXPECT_FALSE(IsRemovableDisk(RegisterDrivePath(tree.AddImage("card.img", 8)))) << "an image is no removable disk";
}

TEST(DriveDiscovery, ADiskHoldingASystemFilesystemIsNeverRemovable) {
    FakeDriveTree tree;
    tree.AddDisk("sdb", 64, true);
    tree.AddPartition("sdb", 1, 8, 16);
    tree.AddPartition("sdb", 2, 24, 16);
    tree.AddDisk("sdc", 64, true);
    tree.AddDisk("sdd", 64, true);
    tree.AddDisk("sde", 64, true);
    tree.Mount("sdb2", "/home");
    tree.Mount("/dev/sdc", "/");  // the system's own /dev names count too
    tree.Mount("sdd", "/media/user/CARD");
    tree.AddMountLine("tmpfs /var tmpfs rw 0 0");
    EXPECT_FALSE(IsRemovableDisk(tree.DriveNumber("sdb")));
    EXPECT_FALSE(IsRemovableDisk(tree.DriveNumber("sdc")));
    EXPECT_TRUE(IsRemovableDisk(tree.DriveNumber("sdd")));
    EXPECT_TRUE(IsRemovableDisk(tree.DriveNumber("sde")));
}

TEST(DriveDiscovery, NumbersFollowNameOrderOnceAndAreNeverGivenAgain) {
    FakeDriveTree tree;
    tree.AddDisk("sdc", 64, true);
    tree.AddDisk("mmcblk10", 64, true);
    tree.AddDisk("sdb", 64, true);
    tree.AddDisk("mmcblk2", 64, true);
    EXPECT_EQ(NamedPaths(16).size(), 4u);  // first look: numbers given in name order
    EXPECT_EQ(tree.DriveNumber("mmcblk2"), 0);
    EXPECT_EQ(tree.DriveNumber("mmcblk10"), 1);
    EXPECT_EQ(tree.DriveNumber("sdb"), 2);
    EXPECT_EQ(tree.DriveNumber("sdc"), 3);

    tree.RemoveDisk("sdb");
    tree.AddDisk("sda", 64, true);
    EXPECT_EQ(DrivePath(2), "") << "the pulled card's number names nothing";
    EXPECT_EQ(DrivePath(4), tree.NodePath("sda")) << "a newcomer takes a new number";
    EXPECT_EQ(tree.DriveNumber("sdc"), 3);

    tree.AddDisk("sdb", 64, true);
    EXPECT_EQ(tree.DriveNumber("sdb"), 2) << "a name keeps its number";
}

TEST(DriveDiscovery, SectorCountComesFromSysfsOrTheImageAndIsNeverZero) {
    FakeDriveTree tree;
    tree.AddDisk("sdb", 1000, true);
    tree.AddDisk("sdc", 0, true);
    tree.AddDisk("sdd", 8, true);
    std::filesystem::remove(tree.SysfsRoot() + "/block/sdd/size");
    tree.AddDisk("sde", 8, true);
    std::ofstream(tree.SysfsRoot() + "/block/sde/size") << ((uint64_t{1} << 32) + 5) << "\n";
    EXPECT_EQ(DiskSectorCount(tree.DriveNumber("sdb")), 1000u);
    EXPECT_EQ(DiskSectorCount(tree.DriveNumber("sdc")), 1u);
    EXPECT_EQ(DiskSectorCount(tree.DriveNumber("sdd")), 1u);
    EXPECT_EQ(DiskSectorCount(tree.DriveNumber("sde")), 5u) << "cut to 32 bits";
    EXPECT_EQ(DiskSectorCount(99), 1u);

    const std::string image = tree.AddImage("card.img", 300);
    std::filesystem::resize_file(image, 300 * 512 + 100);
    EXPECT_EQ(DiskSectorCount(RegisterDrivePath(image)), 300u);
}

TEST(DriveDiscovery, RegisteringNamesTheSameDriveBySameFileAndRefusesTheRest) {
    FakeDriveTree tree;
    tree.AddDisk("sdb", 64, true);
    const std::string image = tree.AddImage("card.img", 8);
    const int number = RegisterDrivePath(image);
    EXPECT_EQ(number, 1) << "after the disk that was there";
    std::filesystem::create_symlink(image, tree.Dir() + "/link.img");
    EXPECT_EQ(RegisterDrivePath(tree.Dir() + "/link.img"), number);
    EXPECT_EQ(RegisterDrivePath(tree.Dir() + "/./card.img"), number);
    EXPECT_EQ(DrivePath(number), std::filesystem::canonical(image).string());
    EXPECT_EQ(RegisterDrivePath(tree.NodePath("sdb")), 0);
    EXPECT_EQ(RegisterDrivePath(tree.Dir() + "/missing.img"), -1);
    EXPECT_EQ(RegisterDrivePath(tree.Dir()), -1);
    EXPECT_EQ(RegisterDrivePath(""), -1);
    std::filesystem::remove(image);
    EXPECT_EQ(DrivePath(number), "");
}

TEST(DriveDiscovery, DriveMapNamesEachMountedDeviceOnceWithItsDrive) {
    FakeDriveTree tree;
    tree.AddDisk("sdb", 64, true);
    tree.AddPartition("sdb", 1, 8, 16);
    tree.Mount("sdb1", "/media/a");
    tree.Mount("sdb1", "/media/b");
    tree.AddMountLine("tmpfs /tmp tmpfs rw 0 0");
    tree.Mount("/dev/nvme9n1p1", "/srv");
    EXPECT_EQ(DriveMapText(),
              "Drive sdb1: is in PhysicalDisk0 \n"
              "Drive nvme9n1p1: is in PhysicalDisk-1 \n");
}

TEST(MountTable, ReadsSourceAndMountPointWithEscapes) {
    const auto entries = ParseMountTable(
        "/dev/sdb1 /media/my\\040card vfat rw 0 0\n"
        "\n"
        "lonely\n"
        "proc\t/proc  proc rw 0 0\n"
        "/dev/sdc /x\\05 ext4 rw 0 0");  // blanks of any kind and width; no end to the last line
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].source, "/dev/sdb1");
    EXPECT_EQ(entries[0].mountPoint, "/media/my card");
    EXPECT_EQ(entries[1].mountPoint, "/proc");
    EXPECT_EQ(entries[2].mountPoint, "/x\\05") << "a cut escape stays as it is";
    EXPECT_FALSE(ReadMountTable("/nonexistent/mounts"));
}

TEST(MbrPartitionTable, FindsTheFirstUsedEntryOnlyUnderTheBootSignature) {
    std::vector<uint8_t> sector(512, 0);
    sector[446 + 16 + 4] = 0x0C;  // entry 2: FAT32 LBA from sector 0x00012345
    sector[446 + 16 + 8] = 0x45;
    sector[446 + 16 + 9] = 0x23;
    sector[446 + 16 + 10] = 0x01;
    EXPECT_FALSE(FirstMbrVolumeStart(sector.data(), sector.size()));
    sector[510] = 0x55;
    sector[511] = 0xAA;
    EXPECT_EQ(FirstMbrVolumeStart(sector.data(), sector.size()), 0x12345u);
    EXPECT_FALSE(FirstMbrVolumeStart(sector.data(), 511));
    sector[446 + 16 + 4] = 0;
    EXPECT_FALSE(FirstMbrVolumeStart(sector.data(), sector.size()));
}

TEST(SysfsDisks, NaturalOrderComparesDigitRunsAsNumbers) {
    EXPECT_TRUE(NaturalLess("mmcblk2", "mmcblk10"));
    EXPECT_TRUE(NaturalLess("sda", "sdb"));
    EXPECT_TRUE(NaturalLess("sdb", "sdaa") == false);
    EXPECT_TRUE(NaturalLess("nvme0n1", "nvme1n1"));
    EXPECT_FALSE(NaturalLess("sdb", "sdb"));
}

}  // namespace
