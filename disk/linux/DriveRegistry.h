// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>

#include "disk/TargetIdentity.h"
#include "disk/linux/SysfsDisks.h"

namespace tavrin {

// What a drive number stands for: a whole disk known to sysfs, or a path named explicitly
// (an image file, or a block device that sysfs does not show).
struct DriveEntry {
    std::string diskName;
    std::string path;
    // The object the number was given for; a disk's is taken from its node when first needed.
    std::optional<TargetIdentity> identity;
    bool IsDisk() const { return !diskName.empty(); }
};

// Gives every whole disk now under <sysfs>/block that has none yet a number, in name order.
void DiscoverDisks(const DriveRoots& roots);
// The entry behind a number, after discovery; nothing for a number never given.
std::optional<DriveEntry> FindDrive(const DriveRoots& roots, int drive);
// Every number given to a whole disk so far, rising.
std::vector<int> DiskDriveNumbers();

// The path behind a drive number and the object it stands for; nothing when the number names
// nothing now.
struct DriveTarget {
    std::string path;
    TargetIdentity identity;
};
std::optional<DriveTarget> FindDriveTarget(int drive);
// While a run holds a disk, the disk sequence its hold found (0 when it lets go): every open
// until then must reach that same disk, not a card put in its place.
void PinDiskSequence(int drive, uint64_t sequence);

// Opens the drive's node or image with `flags` (O_CLOEXEC added) and checks that it reached
// the object the number stands for. -1 with errno set when not (ESTALE: another object).
// `info`, when given, gets the descriptor's fstat.
int OpenDriveNode(int drive, int flags, struct stat* info = nullptr);
int OpenTargetNode(const DriveTarget& target, int flags, struct stat* info = nullptr);

// Why an open failed, for the command line's standard error.
std::string OpenFailureReason(int error);

}  // namespace tavrin
