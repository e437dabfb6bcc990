// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <sys/types.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavrin {

// A fake sysfs tree, device root and mounts table in a temporary folder, whose device nodes
// are sparse image files. While it lives, TAVRIN_SYSFS_ROOT, TAVRIN_DEV_ROOT and TAVRIN_MOUNTS
// point at it, drive numbering starts from 0 and unmounting is scripted (by default it
// succeeds and takes the line out of the mounts table). The destructor puts all of that back
// and removes the folder. One tree at a time.
//
//     FakeDriveTree tree;
//     std::string image = tree.AddDisk("sdb", 8192, /*removable=*/true);
//     tree.AddPartition("sdb", 1, 2048, 6144);   // "sdb1"
//     tree.Mount("sdb1", "/media/card");
//     int drive = tree.DriveNumber("sdb");
class FakeDriveTree {
public:
    FakeDriveTree();
    ~FakeDriveTree();
    FakeDriveTree(const FakeDriveTree&) = delete;
    FakeDriveTree& operator=(const FakeDriveTree&) = delete;

    // A whole disk: <sysfs>/block/<name>/{removable,size,device/type} and a node of
    // sectors * 512 zero bytes. Returns the node's path.
    std::string AddDisk(const std::string& name, uint64_t sectors, bool removable, bool sdCard = false);
    // A partition of `disk` ("sdb1", "mmcblk0p1"); returns its name.
    std::string AddPartition(const std::string& disk, int number, uint64_t start, uint64_t sectors);
    // The card is pulled: its sysfs entry and node go.
    void RemoveDisk(const std::string& name);
    // Only the node goes; sysfs still shows the disk.
    void RemoveNode(const std::string& name);
    // Lists `source` as mounted at `mountPoint`; a source without '/' is a node of the fake root.
    void Mount(const std::string& source, const std::string& mountPoint);
    // A line of the mounts table as it stands ("tmpfs /tmp tmpfs rw 0 0").
    void AddMountLine(const std::string& line);

    // What ClearLogicalDrive's unmounts do from now on, and the mount points it asked for.
    void SetUnmountSucceeds(bool succeeds) { unmountSucceeds_ = succeeds; }
    // The errno that a failed unmount leaves (EPERM: the system refused this user).
    void SetUnmountError(int error) { unmountError_ = error; }
    // Takes the mount lines of this mount point out, as a successful unmount does.
    void Unmounted(const std::string& mountPoint);
    const std::vector<std::string>& UnmountCalls() const { return unmountCalls_; }

    // An image file outside the device root (for RegisterDrivePath).
    std::string AddImage(const std::string& fileName, uint64_t sectors);
    // The device number that sysfs gives a disk or partition of this tree.
    dev_t DeviceNumber(const std::string& name) const;
    // The drive number of a disk of this tree.
    int DriveNumber(const std::string& name) const;

    std::string NodePath(const std::string& name) const;
    std::string SysfsRoot() const { return dir_ + "/sys"; }
    std::string DevRoot() const { return dir_ + "/dev"; }
    std::string MountsPath() const { return dir_ + "/mounts"; }
    const std::string& Dir() const { return dir_; }

    // Makes a file refuse opening for writing, even to root (immutable flag); undone when the
    // tree goes. False when this filesystem cannot do it: skip the test then.
    bool MakeReadOnly(const std::string& path);

    // Bytes of any file (image or node); ReadBytes gives fewer when the file ends first.
    static void WriteBytes(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes);
    static std::vector<uint8_t> ReadBytes(const std::string& path, uint64_t offset, size_t count);

private:
    bool ScriptedUnmount(const std::string& mountPoint);

    std::string dir_;
    std::optional<std::string> savedSysfs_;
    std::optional<std::string> savedDev_;
    std::optional<std::string> savedMounts_;
    bool unmountSucceeds_ = true;
    int unmountError_ = EBUSY;
    std::map<std::string, dev_t> deviceNumbers_;
    std::vector<std::string> unmountCalls_;
    std::vector<std::string> readOnlyFiles_;
};

}  // namespace tavrin
