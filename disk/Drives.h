// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tavrin {

// Physical drives as the operations name them: by number. Numbers 0 to 15 are the ones listed;
// a device or image named explicitly (command line, tests) is registered and gets a number too.

bool IsRemovableDisk(int drive);
// The drive's size in 512-byte sectors, cut to 32 bits; 1 when it cannot be found, never 0.
uint32_t DiskSectorCount(int drive);
// The largest request worth making of the drive. A card pays a fixed cost for every command,
// so its requests are large; an image file has no such cost, and its page cache takes small
// copies from a buffer that stays in the CPU's cache faster than large ones from fresh memory.
uint32_t TransferBytes(int drive);
// Zeroes the first sector of the first volume on the drive (unmounting it first).
bool ClearLogicalDrive(int drive);

// Whether the drive number's path still leads to the object it was chosen as (a replaced image
// file or node is another object). Every open checks this itself; an operation asks after a
// question, so that it can say "Cannot open disk." before it does anything more.
bool DriveStillChosenTarget(int drive);

// One operation's exclusive hold on a card, from its start to its end, questions included: a
// second claim on the same card, from this process or another, is refused while it lives.
class DriveClaim {
public:
    virtual ~DriveClaim() = default;
};
struct ClaimAttempt {
    std::unique_ptr<DriveClaim> claim;  // nothing when refused
    std::string reason;                 // why, for the command line's standard error
};
ClaimAttempt ClaimDrive(int drive);
using DriveClaimer = std::function<ClaimAttempt(int drive)>;

// The device node or image file behind a drive number; empty when the number names nothing.
std::string DrivePath(int drive);
// Gives an explicitly named block device or image file a drive number (the same number for
// the same path). -1 when the path names neither.
int RegisterDrivePath(const std::string& path);

// A removable drive that the user cannot read directly, shown in the disk list all the same
// because the desktop's disk service vouches for it and would open it on request.
bool ListableThroughService(int drive);

// Why the desktop's disk service could not stand in for this user when the system refused an
// open or unmount; None while that never happened. Either stays so while the process runs.
enum class AccessRefusal { None, NoService, PromptRefused };
AccessRefusal LastAccessRefusal();
// While one lives, the disk service opens only what the user already allowed: no prompt.
class QuietDiskAccess {
public:
    QuietDiskAccess();
    ~QuietDiskAccess();
    QuietDiskAccess(const QuietDiskAccess&) = delete;
    QuietDiskAccess& operator=(const QuietDiskAccess&) = delete;
};

// What the hidden "Map Drives" button shows: one line per mounted block device,
// "Drive <device>: is in PhysicalDisk<number> \n", the number -1 when it lies on no drive.
std::string DriveMapText();

// Test hooks. Forgets every drive number given so far, so that a test starts from 0.
void ResetDriveNumbering();
// How a mount point is unmounted before a volume is cleared (true on success). An empty
// function restores the system's umount2.
using UnmountFunction = std::function<bool(const std::string& mountPoint)>;
void SetUnmountFunctionForTesting(UnmountFunction unmount);

}  // namespace tavrin
