// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// Where the drive layer looks: each root comes from its environment variable when set
// (TAVRIN_SYSFS_ROOT, TAVRIN_DEV_ROOT, TAVRIN_MOUNTS), read anew on every query so that a
// test can point it at a fake tree.
struct DriveRoots {
    std::string sysfs;
    std::string dev;
    std::string mounts;
};
DriveRoots CurrentRoots();

// Virtual disks and the boot and RPMB areas of eMMC chips, which never hold a card.
bool IsSkippedDiskName(const std::string& name);
// Name order with digit runs compared as numbers (mmcblk2 before mmcblk10).
bool NaturalLess(const std::string& a, const std::string& b);

// Whole disks under <sysfs>/block that may hold a card, in name order.
std::vector<std::string> ListWholeDisks(const std::string& sysfs);
bool WholeDiskExists(const std::string& sysfs, const std::string& disk);

struct PartitionInfo {
    std::string name;
    int number = 0;
    uint64_t start = 0;  // in 512-byte sectors
};
// The disk's partitions, lowest partition number first.
std::vector<PartitionInfo> ListPartitions(const std::string& sysfs, const std::string& disk);

// The disk, its partitions and what is stacked on them (device-mapper holders): every device
// name through which the disk's blocks can be mounted.
std::vector<std::string> DeviceNamesOnDisk(const std::string& sysfs, const std::string& disk);

// A sysfs attribute's text without surrounding white space; nothing when it cannot be read.
std::optional<std::string> ReadAttribute(const std::string& path);
std::optional<uint64_t> ReadNumberAttribute(const std::string& path);

// The device number of the disk or of one of its partitions (or of a device stacked on it),
// from its "dev" attribute.
std::optional<dev_t> DeviceNumberOf(const std::string& sysfs, const std::string& disk, const std::string& name);

// The sysfs name of a block device given by major and minor number, via <sysfs>/dev/block.
std::optional<std::string> BlockNameOfDevice(const std::string& sysfs, unsigned major, unsigned minor);

}  // namespace tavrin
