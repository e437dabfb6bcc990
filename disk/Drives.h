// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Physical drives as the operations name them: by number. Numbers 0 to 15 are the ones listed;
// a device or image named explicitly (command line, tests) is registered and gets a number too.

bool IsRemovableDisk(int drive);
// The drive's size in 512-byte sectors, cut to 32 bits; 1 when it cannot be found, never 0.
uint32_t DiskSectorCount(int drive);
// Zeroes the first sector of the first volume on the drive (unmounting it first).
bool ClearLogicalDrive(int drive);

// The device node or image file behind a drive number; empty when the number names nothing.
std::string DrivePath(int drive);
// Gives an explicitly named block device or image file a drive number (the same number for
// the same path). -1 when the path names neither.
int RegisterDrivePath(const std::string& path);

// What the hidden "Map Drives" button shows: one line per mounted block device,
// "Drive <device>: is in PhysicalDisk<number> \n", the number -1 when it lies on no drive.
std::string DriveMapText();

// Test hooks. Forgets every drive number given so far, so that a test starts from 0.
void ResetDriveNumbering();
// How a mount point is unmounted before a volume is cleared (true on success). An empty
// function restores the system's umount2.
using UnmountFunction = std::function<bool(const std::string& mountPoint)>;
void SetUnmountFunctionForTesting(UnmountFunction unmount);
