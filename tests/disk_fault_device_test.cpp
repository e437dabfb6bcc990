// SPDX-License-Identifier: Apache-2.0
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "disk/Drives.h"
#include "disk/linux/LinuxSectorDevice.h"
#include "support/FakeDriveTree.h"
#include "support/FaultInjectingDevice.h"

using namespace tavrin;

namespace {

class FaultDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        image = tree.AddImage("card.img", 64);
        drive = RegisterDrivePath(image);
        factory = MakeFaultInjectingFactory(CreateSectorDevice, plan);
    }

    FakeDriveTree tree;
    std::string image;
    int drive = -1;
    std::shared_ptr<FaultPlan> plan = std::make_shared<FaultPlan>();
    DeviceFactory factory;
    std::vector<uint8_t> sector = std::vector<uint8_t>(512, 0xC3);
};

TEST_F(FaultDeviceTest, FailsTheNthReadAndTheNthWriteCountedApart) {
    plan->failReadNumber = 2;
    plan->failWriteNumber = 3;
    auto device = factory();
    ASSERT_TRUE(device->Open(drive));
    std::vector<uint8_t> buffer(512);
    EXPECT_TRUE(device->Read(0, buffer.data(), 512));
    EXPECT_FALSE(device->Read(0, buffer.data(), 512));
    EXPECT_TRUE(device->Read(0, buffer.data(), 512));
    EXPECT_TRUE(device->Write(0, sector.data(), 512));
    EXPECT_TRUE(device->Write(512, sector.data(), 512));
    EXPECT_FALSE(device->Write(1024, sector.data(), 512));
    EXPECT_TRUE(device->Write(1536, sector.data(), 512));
    device->Close();

    ASSERT_EQ(plan->writes.size(), 4u);
    EXPECT_TRUE(plan->writes[2].injected);
    EXPECT_EQ(plan->writes[2].offset, 1024);
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 1024, 512), std::vector<uint8_t>(512, 0)) << "an injected write never reaches the card";
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 1536, 512), sector);
    ASSERT_EQ(plan->WritesAfterFirstFailure().size(), 3u) << "the read failure came first; injected writes never count";
    EXPECT_EQ(plan->WritesAfterFirstFailure()[2].offset, 1536);
}

TEST_F(FaultDeviceTest, FailsEveryTransferTouchingTheByte) {
    plan->failAtByte = 16384 + 511;
    auto device = factory();
    ASSERT_TRUE(device->Open(drive));
    std::vector<uint8_t> chunk(16384, 0x77);
    EXPECT_TRUE(device->Write(0, chunk.data(), 16384));
    EXPECT_FALSE(device->Write(16384, chunk.data(), 16384));
    EXPECT_FALSE(device->Read(16384 + 511, chunk.data(), 512));
    EXPECT_TRUE(device->Read(16384 + 512, chunk.data(), 512));
    EXPECT_TRUE(device->Read(16384 - 512, chunk.data(), 512));
    device->Close();
    EXPECT_EQ(FakeDriveTree::ReadBytes(image, 16384, 16384), std::vector<uint8_t>(16384, 0));
    EXPECT_TRUE(plan->AnyTransferFailed());
    EXPECT_TRUE(plan->WritesAfterFirstFailure().empty());
}

TEST_F(FaultDeviceTest, CountsOpensAndClosesOverEveryDeviceOfThePlan) {
    plan->failOpenNumber = 2;
    {
        auto first = factory();
        auto second = factory();
        EXPECT_EQ(plan->devicesAlive, 2);
        EXPECT_TRUE(first->Open(drive));
        EXPECT_FALSE(second->Open(drive));
        EXPECT_TRUE(second->Open(drive));
        EXPECT_EQ(plan->openDevices, 2);
        first->Close();
        second->Close();
        EXPECT_EQ(plan->openDevices, 0);
        EXPECT_TRUE(first->Open(drive));  // reopened, and left open on purpose
    }
    EXPECT_EQ(plan->opens, 4);
    EXPECT_EQ(plan->successfulOpens, 3);
    EXPECT_EQ(plan->closes, 2);
    EXPECT_EQ(plan->openDevices, 1) << "a device deleted while open shows";
    EXPECT_EQ(plan->devicesAlive, 0);
}

TEST_F(FaultDeviceTest, WrapsABorrowedDeviceAndPassesItsFailuresOn) {
    DiskSectorLinux inner;
    FaultInjectingDevice device(inner, plan);
    EXPECT_FALSE(device.Open(drive + 100));
    EXPECT_EQ(plan->openDevices, 0);
    ASSERT_TRUE(device.Open(drive));
    EXPECT_TRUE(inner.IsOpen());
    EXPECT_FALSE(device.Write(64 * 512, sector.data(), 512)) << "past the image's end";
    EXPECT_FALSE(plan->writes.back().injected);
    EXPECT_FALSE(plan->writes.back().succeeded);
    device.Close();
    EXPECT_FALSE(inner.IsOpen());
}

TEST(FaultDeviceFactory, GivesNothingWhenTheWrappedFactoryGivesNothing) {
    auto plan = std::make_shared<FaultPlan>();
    EXPECT_EQ(MakeFaultInjectingFactory([] { return std::unique_ptr<DiskSectorRW>(); }, plan)(), nullptr);
    EXPECT_EQ(MakeFaultInjectingFactory(nullptr, plan)(), nullptr);
}

}  // namespace

TEST_F(FaultDeviceTest, FailedFlushCountsAsTheFirstFailure) {
    plan->failFlushNumber = 1;
    auto device = factory();
    ASSERT_TRUE(device->Open(drive));
    ASSERT_TRUE(device->Write(0, sector.data(), 512));
    EXPECT_FALSE(device->Flush());
    EXPECT_TRUE(device->Flush()) << "only the numbered flush fails";
    ASSERT_TRUE(device->Write(512, sector.data(), 512));
    EXPECT_EQ(plan->WritesAfterFirstFailure().size(), 1u);
    device->Close();
}
