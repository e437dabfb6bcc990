// SPDX-License-Identifier: Apache-2.0
// The sector device on a real block device: a loop device over an image file, which takes the
// O_DIRECT, exclusive-open and block-size paths that image files never do. Needs root and loop
// devices; skipped where they are missing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>

#include <cerrno>

#include "disk/Drives.h"
#include "disk/linux/DriveRegistry.h"
#include "disk/linux/LinuxSectorDevice.h"
#include "support/ScratchFolder.h"

using namespace tavrin;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint64_t kImageSectors = 8192;

std::string RunCommand(const std::string& command) {
    std::string output;
    if (std::FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r")) {
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), buffer.size(), pipe)) output += buffer.data();
        ::pclose(pipe);
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == ' ')) output.pop_back();
    return output;
}

// A loop device attached to an image for the life of the object.
class LoopDevice {
public:
    LoopDevice(const std::string& image, int sectorSize) {
        if (::geteuid() != 0 || ::access("/dev/loop-control", W_OK) != 0) return;
        path_ = RunCommand("losetup --find --show --sector-size " + std::to_string(sectorSize) + " " + image);
        if (path_.rfind("/dev/loop", 0) != 0) path_.clear();
    }
    ~LoopDevice() {
        if (!path_.empty()) RunCommand("losetup -d " + path_);
    }
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;
    const std::string& Path() const { return path_; }
    // The same device, now over `image`: the kernel counts it as another disk.
    bool Reattach(const std::string& image) {
        return !path_.empty() && RunCommand("losetup -d " + path_ + " && losetup " + path_ + " " + image + " && echo ok") == "ok";
    }

private:
    std::string path_;
};

Bytes Pattern(size_t count, uint8_t seed) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 13 + (i >> 9));
    return bytes;
}

class BlockDeviceTest : public ::testing::Test {
protected:
    std::string MakeImage() {
        image_ = scratch_.Write("card.img", Pattern(kImageSectors * 512, 7));
        return image_;
    }

    Bytes ImageBytes() {
        return ReadFileBytes(image_);
    }

    ScratchFolder scratch_;
    std::string image_;
};

#define REQUIRE_LOOP(loop) \
    if ((loop).Path().empty()) GTEST_SKIP() << "no loop device can be attached here"

TEST_F(BlockDeviceTest, TransfersReachTheMediumWhateverTheBufferAlignment) {
    LoopDevice loop(MakeImage(), 512);
    REQUIRE_LOOP(loop);
    DiskSectorLinux device;
    ASSERT_TRUE(device.OpenPath(loop.Path()));
    EXPECT_FALSE(device.IsReadOnly());

    // A chunk from a buffer that is not page aligned, and a single sector at an odd place.
    Bytes chunk = Pattern(16384 + 1, 99);
    ASSERT_TRUE(device.Write(128 * 512, chunk.data() + 1, 16384));
    const Bytes sector = Pattern(512, 42);
    ASSERT_TRUE(device.Write(4095 * 512, sector.data(), 512));
    Bytes back(16384);
    ASSERT_TRUE(device.Read(128 * 512, back.data(), 16384));
    EXPECT_TRUE(std::equal(back.begin(), back.end(), chunk.begin() + 1));
    EXPECT_FALSE(device.Read((kImageSectors - 1) * 512, back.data(), 1024)) << "past the end of the device";
    device.Close();
    EXPECT_TRUE(device.LastCloseFlushed());

    Bytes expected = Pattern(kImageSectors * 512, 7);
    std::copy(chunk.begin() + 1, chunk.end(), expected.begin() + 128 * 512);
    std::copy(sector.begin(), sector.end(), expected.begin() + 4095 * 512);
    EXPECT_EQ(ImageBytes(), expected);
}

TEST_F(BlockDeviceTest, ADeviceHeldElsewhereOpensForReadingOnly) {
    LoopDevice loop(MakeImage(), 512);
    REQUIRE_LOOP(loop);
    DiskSectorLinux holder;
    ASSERT_TRUE(holder.OpenPath(loop.Path()));
    DiskSectorLinux second;
    ASSERT_TRUE(second.OpenPath(loop.Path()));
    EXPECT_TRUE(second.IsReadOnly());
    Bytes sector(512);
    EXPECT_TRUE(second.Read(0, sector.data(), 512));
    EXPECT_EQ(sector, Pattern(512, 7));
    EXPECT_FALSE(second.Write(0, Bytes(512, 0).data(), 512));
    second.Close();
    holder.Close();
    EXPECT_EQ(ImageBytes(), Pattern(kImageSectors * 512, 7));
}

// On a device of 4096-byte blocks a 512-byte write is a read-modify-write of its block.
TEST_F(BlockDeviceTest, SectorWritesOnLargeBlocksKeepTheRestOfTheBlock) {
    LoopDevice loop(MakeImage(), 4096);
    REQUIRE_LOOP(loop);
    DiskSectorLinux device;
    ASSERT_TRUE(device.OpenPath(loop.Path()));
    const Bytes zero(512, 0);
    ASSERT_TRUE(device.Write(3 * 512, zero.data(), 512));
    Bytes read(512 * 3);
    ASSERT_TRUE(device.Read(2 * 512, read.data(), read.size()));
    device.Close();
    Bytes expected = Pattern(kImageSectors * 512, 7);
    std::fill_n(expected.begin() + 3 * 512, 512, 0);
    EXPECT_TRUE(std::equal(read.begin(), read.end(), expected.begin() + 2 * 512));
    EXPECT_EQ(ImageBytes(), expected);
}

TEST_F(BlockDeviceTest, ANamedBlockDeviceGetsADriveNumberAndItsSize) {
    LoopDevice loop(MakeImage(), 512);
    REQUIRE_LOOP(loop);
    const int drive = RegisterDrivePath(loop.Path());
    ASSERT_GE(drive, 0);
    EXPECT_EQ(RegisterDrivePath(loop.Path()), drive);
    EXPECT_EQ(DrivePath(drive), loop.Path());
    EXPECT_EQ(DiskSectorCount(drive), kImageSectors);
    auto device = CreateSectorDevice();
    ASSERT_TRUE(device->Open(drive));
    Bytes sector(512);
    EXPECT_TRUE(device->Read(512, sector.data(), 512));
    device->Close();
}

// A card changed under the same device number while a run holds it: every open until the hold
// goes is refused; after it, the disk now there is taken as chosen.
TEST_F(BlockDeviceTest, AHeldDiskReplacedUnderItsNumberIsRefusedUntilTheHoldGoes) {
    LoopDevice loop(MakeImage(), 512);
    REQUIRE_LOOP(loop);
    const int drive = RegisterDrivePath(loop.Path());
    ASSERT_GE(drive, 0);
    uint64_t sequence = 0;
    {
        const ClaimAttempt hold = ClaimDrive(drive);
        ASSERT_NE(hold.claim, nullptr) << hold.reason;
        sequence = FindDriveTarget(drive)->identity.Sequence();
        if (sequence == 0) GTEST_SKIP() << "this kernel has no disk sequence numbers";
    }
    EXPECT_EQ(FindDriveTarget(drive)->identity.Sequence(), 0u) << "pinned only while held";

    PinDiskSequence(drive, sequence);  // as the hold found it; the hold's descriptor would keep the loop bound
    const std::string other = scratch_.Write("other.img", Pattern(kImageSectors * 512, 9));
    ASSERT_TRUE(loop.Reattach(other));
    DiskSectorLinux device;
    EXPECT_FALSE(device.OpenForWriting(drive));
    EXPECT_EQ(device.LastError(), ESTALE);
    EXPECT_FALSE(device.Open(drive));
    EXPECT_LT(OpenDriveNode(drive, O_RDONLY), 0);
    EXPECT_EQ(ReadFileBytes(other), Pattern(kImageSectors * 512, 9));

    PinDiskSequence(drive, 0);
    ASSERT_TRUE(device.Open(drive));
    Bytes sector(512);
    ASSERT_TRUE(device.Read(0, sector.data(), 512));
    EXPECT_EQ(sector, Pattern(512, 9));
    device.Close();
}

}  // namespace
