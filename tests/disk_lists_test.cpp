// SPDX-License-Identifier: Apache-2.0
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "disk/DiskLists.h"
#include "disk/Drives.h"
#include "support/FakeDriveTree.h"
#include "support/FaultInjectingDevice.h"

using namespace tavrin;

namespace {

std::vector<std::string> Texts(const ListModel& list) {
    std::vector<std::string> texts;
    for (const auto& entry : list.entries) texts.push_back(entry.text);
    return texts;
}

std::vector<int> ItemData(const ListModel& list) {
    std::vector<int> data;
    for (const auto& entry : list.entries) data.push_back(entry.itemData);
    return data;
}

// Drives 0 to 3: a fixed disk in Tavrin format, a blank card, a fixed disk and a Tavrin card.
class DiskListTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.AddDisk("sda", 64, false);
        tree.AddDisk("sdb", 64, true);
        tree.AddDisk("sdc", 64, false);
        tree.AddDisk("sdd", 64, true);
        FakeDriveTree::WriteBytes(tree.NodePath("sda"), 0, {'T', 'V'});
        FakeDriveTree::WriteBytes(tree.NodePath("sdd"), 0, {'T', 'V', 1});
    }

    ListModel Build(int previous) { return BuildDiskList(factory, previous); }

    FakeDriveTree tree;
    std::shared_ptr<FaultPlan> plan = std::make_shared<FaultPlan>();
    DeviceFactory factory = MakeFaultInjectingFactory(CreateSectorDevice, plan);
};

TEST_F(DiskListTest, ListsRemovableDrivesMarkingTavrinCards) {
    tree.AddDisk("sde", 0, true);  // sector 0 cannot be read
    const ListModel list = Build(-1);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"Disk1", "Disk3 [Tavrin]"}));
    EXPECT_EQ(ItemData(list), (std::vector<int>{1, 3}));
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(plan->openDevices, 0);
    EXPECT_EQ(plan->closes, plan->successfulOpens);
}

TEST_F(DiskListTest, KeepsTheSelectedDriveWhereverItNowStands) {
    EXPECT_EQ(Build(3).SelectedItemData(), 3);
    tree.RemoveDisk("sdb");
    const ListModel list = Build(3);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"Disk3 [Tavrin]"}));
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(list.SelectedItemData(), 3);
}

TEST_F(DiskListTest, FallsBackToEntryZeroAndToNothingWhenNoDriveIsLeft) {
    tree.RemoveDisk("sdd");
    EXPECT_EQ(Build(3).SelectedItemData(), 1);
    tree.RemoveDisk("sdb");
    const ListModel list = Build(1);
    EXPECT_TRUE(list.entries.empty());
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.SelectedItemData(), -1);
}

TEST_F(DiskListTest, LeavesOutADriveWhoseFirstSectorCannotBeReadAndClosesIt) {
    plan->failReadNumber = 1;
    const ListModel list = Build(-1);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"Disk3 [Tavrin]"}));
    EXPECT_EQ(plan->openDevices, 0);
    EXPECT_EQ(BuildDiskList([] { return std::unique_ptr<DiskSectorRW>(); }, 1).selected, -1);
}

TEST(DiskList, NeverListsDrivesPastFifteen) {
    FakeDriveTree tree;
    for (int i = 0; i < 18; ++i) tree.AddDisk("sd" + std::string(1, static_cast<char>('a' + i)), 8, true);
    const ListModel list = BuildDiskList(CreateSectorDevice, 17);
    ASSERT_EQ(list.entries.size(), 16u);
    EXPECT_EQ(list.entries.back().text, "Disk15");
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(DrivePath(17), tree.NodePath("sdr")) << "still reachable by number";
}

BankTable Present(std::initializer_list<int> banks) {
    BankTable table;
    for (int k : banks) table.bankPresent[k] = 1;
    return table;
}

TEST(BankList, OffersPresentBanksThenTheFirstAbsentOneAsNew) {
    EXPECT_EQ(Texts(BuildBankList(Present({0, 1}), 0)), (std::vector<std::string>{"1", "2", "3 (New)"}));
    EXPECT_EQ(Texts(BuildBankList(Present({0, 1, 2, 3}), 0)), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(Texts(BuildBankList(Present({1}), 0)), (std::vector<std::string>{"1 (New)"}));
    EXPECT_EQ(Texts(BuildBankList(Present({}), -1)), (std::vector<std::string>{"1 (New)"}));
}

TEST(BankList, CarriesTheSelectedIndexOverOrFallsBackToEntryZero) {
    EXPECT_EQ(BuildBankList(Present({0, 1}), 2).selected, 2);
    EXPECT_EQ(BuildBankList(Present({1}), 2).selected, 0);
    EXPECT_EQ(BuildBankList(Present({0, 1, 2, 3}), -1).selected, 0);
    EXPECT_EQ(BuildBankList(Present({0, 1, 2, 3}), 4).selected, 0);
}

}  // namespace
