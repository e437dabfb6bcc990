// SPDX-License-Identifier: Apache-2.0
#include <climits>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "disk/Drives.h"
#include "disk/linux/LinuxSectorDevice.h"
#include "support/FakeDriveTree.h"

using namespace tavrin;

namespace {

constexpr int32_t kLastReachableOffset = 2147483136;  // sector 4,194,303

std::vector<uint8_t> Pattern(size_t count, uint8_t seed) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 7);
    return bytes;
}

class SectorDeviceTest : public ::testing::Test {
protected:
    FakeDriveTree tree;
    DiskSectorLinux device;
};

TEST_F(SectorDeviceTest, ReachesTheLastSectorBelowTwoGibibytesAndNothingBeyond) {
    // One sector more than the device can reach, so every refusal below is the 2^31 limit.
    const std::string image = tree.AddImage("big.img", 4194305);
    FakeDriveTree::WriteBytes(image, kLastReachableOffset, Pattern(512, 1));
    ASSERT_TRUE(device.OpenPath(image));

    std::vector<uint8_t> buffer(1024);
    ASSERT_TRUE(device.Read(kLastReachableOffset, buffer.data(), 512));
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + 512), Pattern(512, 1));

    EXPECT_FALSE(device.Read(kLastReachableOffset, buffer.data(), 1024)) << "crosses 2^31";
    EXPECT_FALSE(device.Read(INT32_MIN, buffer.data(), 512)) << "2^31 as a signed offset";
    EXPECT_FALSE(device.Read(-512, buffer.data(), 512));
    EXPECT_FALSE(device.Write(kLastReachableOffset, Pattern(1024, 9).data(), 1024));
    EXPECT_FALSE(device.Write(-512, Pattern(512, 9).data(), 512));
    EXPECT_FALSE(device.Read(0, buffer.data(), UINT32_MAX));
    device.Close();

    EXPECT_EQ(FakeDriveTree::ReadBytes(image, kLastReachableOffset, 1024),
              [] {
                  auto expected = Pattern(512, 1);
                  expected.resize(1024, 0);
                  return expected;
              }())
        << "a refused write touches nothing";
}

TEST_F(SectorDeviceTest, AnImageNeverGrowsAndATransferPastItsEndFailsWhole) {
    const std::string image = tree.AddImage("small.img", 64);
    ASSERT_TRUE(device.OpenPath(image));
    std::vector<uint8_t> buffer(1024);
    EXPECT_TRUE(device.Read(63 * 512, buffer.data(), 512));
    EXPECT_FALSE(device.Read(64 * 512, buffer.data(), 512));
    EXPECT_FALSE(device.Read(63 * 512, buffer.data(), 1024));
    EXPECT_FALSE(device.Write(63 * 512, Pattern(1024, 3).data(), 1024));
    EXPECT_FALSE(device.Write(64 * 512, Pattern(512, 3).data(), 512));
    device.Close();
    EXPECT_EQ(std::filesystem::file_size(image), 64u * 512);
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 63 * 512, 512), std::vector<uint8_t>(512, 0));
}

TEST_F(SectorDeviceTest, WritesReachTheFileAndAClosedDeviceOpensAgain) {
    const std::string image = tree.AddImage("card.img", 128);
    const int drive = RegisterDrivePath(image);
    ASSERT_TRUE(device.Open(drive));
    ASSERT_TRUE(device.Write(5 * 512, Pattern(16384, 5).data(), 16384));
    device.Close();
    EXPECT_TRUE(device.LastCloseFlushed());
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 5 * 512, 16384), Pattern(16384, 5));

    std::vector<uint8_t> buffer(16384);
    EXPECT_FALSE(device.Read(5 * 512, buffer.data(), 16384)) << "closed";
    ASSERT_TRUE(device.Open(drive));
    ASSERT_TRUE(device.Read(5 * 512, buffer.data(), 16384));
    EXPECT_EQ(buffer, Pattern(16384, 5));
    device.Close();
    device.Close();  // a second Close does nothing
}

TEST_F(SectorDeviceTest, ANumberThatNamesNothingOpensNothing) {
    std::vector<uint8_t> buffer(512);
    EXPECT_FALSE(device.Open(7));
    EXPECT_FALSE(device.Open(-1));
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.Read(0, buffer.data(), 512));
    EXPECT_FALSE(device.Write(0, buffer.data(), 512));
    device.Close();

    EXPECT_FALSE(device.OpenPath(tree.Dir())) << "a folder is no drive";
    EXPECT_FALSE(device.OpenPath(tree.Dir() + "/missing.img"));

    // A failed Open after a good one leaves the device closed.
    const int drive = RegisterDrivePath(tree.AddImage("card.img", 8));
    ASSERT_TRUE(device.Open(drive));
    EXPECT_FALSE(device.Open(drive + 1));
    EXPECT_FALSE(device.Read(0, buffer.data(), 512));
}

TEST_F(SectorDeviceTest, AFileRefusingWritesOpensForReadingAndEveryWriteFails) {
    const std::string image = tree.AddImage("locked.img", 16);
    FakeDriveTree::WriteBytes(image, 0, Pattern(512, 4));
    if (!tree.MakeReadOnly(image)) GTEST_SKIP() << "cannot make a file read-only here";

    ASSERT_TRUE(device.OpenPath(image));
    EXPECT_TRUE(device.IsReadOnly());
    std::vector<uint8_t> buffer(512);
    ASSERT_TRUE(device.Read(0, buffer.data(), 512));
    EXPECT_EQ(buffer, Pattern(512, 4));
    EXPECT_FALSE(device.Write(512, Pattern(512, 8).data(), 512));
    device.Close();
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 512, 512), std::vector<uint8_t>(512, 0));
}

// Aligned transfers are what a block device opened O_DIRECT needs; the caller's buffers,
// offsets and counts need not be.
TEST_F(SectorDeviceTest, UnalignedTransfersGoThroughTheBounceBufferAndKeepNeighbouringBytes) {
    const std::string image = tree.AddImage("direct.img", 4096);
    const auto original = Pattern(4096 * 512, 11);
    FakeDriveTree::WriteBytes(image, 0, original);
    ASSERT_TRUE(device.OpenPath(image, /*alignedTransfers=*/true));

    std::vector<uint8_t> storage(700 * 1024 + 1);
    uint8_t* misaligned = storage.data() + 1;
    ASSERT_TRUE(device.Read(512, misaligned, 16384));
    EXPECT_TRUE(std::equal(misaligned, misaligned + 16384, original.begin() + 512));

    // Larger than one bounce piece, from an offset and with a count that are not whole sectors.
    const uint32_t count = 600 * 1024 + 100;
    ASSERT_TRUE(device.Read(700, misaligned, count));
    EXPECT_TRUE(std::equal(misaligned, misaligned + count, original.begin() + 700));

    const auto data = Pattern(count, 99);
    std::copy(data.begin(), data.end(), misaligned);
    ASSERT_TRUE(device.Write(700, misaligned, count));
    device.Close();

    auto expected = original;
    std::copy(data.begin(), data.end(), expected.begin() + 700);
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 0, expected.size()), expected);
}

TEST_F(SectorDeviceTest, CreateSectorDeviceOpensRegisteredImages) {
    const std::string image = tree.AddImage("card.img", 8);
    FakeDriveTree::WriteBytes(image, 0, {'T', 'V'});
    auto made = CreateSectorDevice();
    ASSERT_TRUE(made->Open(RegisterDrivePath(image)));
    std::vector<uint8_t> buffer(512);
    ASSERT_TRUE(made->Read(0, buffer.data(), 512));
    EXPECT_EQ(buffer[1], 'V');
}

}  // namespace
