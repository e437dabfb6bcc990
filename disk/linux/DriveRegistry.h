// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>

#include "disk/linux/SysfsDisks.h"

// What a drive number stands for: a whole disk known to sysfs, or a path named explicitly
// (an image file, or a block device that sysfs does not show).
struct DriveEntry {
    std::string diskName;
    std::string path;
    bool IsDisk() const { return !diskName.empty(); }
};

// Gives every whole disk now under <sysfs>/block that has none yet a number, in name order.
void DiscoverDisks(const DriveRoots& roots);
// The entry behind a number, after discovery; nothing for a number never given.
std::optional<DriveEntry> FindDrive(const DriveRoots& roots, int drive);
// Every number given to a whole disk so far, rising.
std::vector<int> DiskDriveNumbers();
