// SPDX-License-Identifier: Apache-2.0
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string_view>
#include <system_error>

#include "card/CardSizes.h"
#include "common/AsciiText.h"
#include "disk/Drives.h"
#include "disk/MbrPartitionTable.h"
#include "disk/linux/DiskService.h"
#include "disk/linux/DriveRegistry.h"
#include "disk/linux/LinuxSectorDevice.h"
#include "disk/linux/MountTable.h"
#include "disk/linux/SysfsDisks.h"
#include "text/LocalText.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

// A volume starting in the bank sectors would take a bank sector with it when cleared.
constexpr uint64_t kFirstClearableSector = 4;
// 1 MiB is enough on most readers; 4 MiB still gained a few percent on the slowest.
constexpr uint32_t kCardTransferBytes = 4u << 20;
constexpr uint32_t kImageTransferBytes = 128u << 10;
constexpr const char* kDriveMapLine = "Drive %s: is in PhysicalDisk%d \n";

UnmountFunction& TestUnmount() {
    static UnmountFunction unmount;
    return unmount;
}

// The error is errno as the unmount left it (a test's unmount function may set it too).
bool Unmount(const std::string& mountPoint, int& error) {
    errno = 0;
    const bool done = TestUnmount() ? TestUnmount()(mountPoint) : ::umount2(mountPoint.c_str(), 0) == 0;
    error = done ? 0 : errno;
    return done;
}

// The block device name behind a mount source such as /dev/sdb1 or /dev/disk/by-uuid/...;
// empty when the source is no device node (tmpfs, proc, a network share).
std::string SourceDeviceName(const std::string& source, const std::string& devRoot) {
    std::string rest;
    for (const std::string& root : {devRoot, std::string("/dev")}) {
        const std::string prefix = root.empty() || root.back() == '/' ? root : root + "/";
        if (rest.empty() && !prefix.empty() && StartsWith(source, prefix)) rest = source.substr(prefix.size());
    }
    if (rest.empty()) return {};
    if (rest.find('/') == std::string::npos) return rest;
    std::error_code error;
    const fs::path resolved = fs::canonical(source, error);
    return (error ? fs::path(rest) : resolved).filename().string();
}

bool IsSystemMountPoint(const std::string& mountPoint) {
    static constexpr std::array<const char*, 5> kSystem{"/", "/boot", "/usr", "/var", "/home"};
    return std::any_of(kSystem.begin(), kSystem.end(), [&](const char* p) { return mountPoint == p; });
}

// Mount points of everything mounted from the disk, its partitions or what is stacked on them;
// nothing when the mounts table cannot be read.
std::optional<std::vector<MountEntry>> MountsOnDisk(const DriveRoots& roots, const std::string& disk) {
    const auto table = ReadMountTable(roots.mounts);
    if (!table) return std::nullopt;
    const auto names = DeviceNamesOnDisk(roots.sysfs, disk);
    std::vector<MountEntry> result;
    for (const auto& mount : *table) {
        const std::string device = SourceDeviceName(mount.source, roots.dev);
        if (!device.empty() && std::find(names.begin(), names.end(), device) != names.end()) {
            result.push_back(mount);
        }
    }
    return result;
}

// A disk whose mounts cannot be seen is taken for one that holds the system.
bool HoldsSystemMount(const DriveRoots& roots, const std::string& disk) {
    const auto mounts = MountsOnDisk(roots, disk);
    return !mounts ||
           std::any_of(mounts->begin(), mounts->end(), [](const MountEntry& m) { return IsSystemMountPoint(m.mountPoint); });
}

// Asks the desktop's disk service to unmount what is still mounted from the disk; done only
// when the mounts table then shows nothing of it.
bool UnmountThroughService(const DriveRoots& roots, const std::string& disk) {
    const auto mounts = MountsOnDisk(roots, disk);
    if (!mounts) return false;
    std::set<std::string> asked;
    for (auto m = mounts->rbegin(); m != mounts->rend(); ++m) {
        const std::string device = SourceDeviceName(m->source, roots.dev);
        if (!asked.insert(device).second) continue;
        const auto number = DeviceNumberOf(roots.sysfs, disk, device);
        if (!number || TheDiskService().Unmount(*number) != DiskService::Result::Done) return false;
    }
    const auto left = MountsOnDisk(roots, disk);
    return left && left->empty();
}

bool UnmountDisk(const DriveRoots& roots, const std::string& disk) {
    const auto mounts = MountsOnDisk(roots, disk);
    if (!mounts) return false;
    // The last mount first, so that one mounted inside another goes before it.
    for (auto m = mounts->rbegin(); m != mounts->rend(); ++m) {
        int error = 0;
        if (Unmount(m->mountPoint, error)) continue;
        return ServiceMayStandIn(error) && UnmountThroughService(roots, disk);
    }
    return true;
}

// A loop device over the image shares its bytes: whatever is mounted from it would be written
// under its filesystem's feet, so the image counts as a mounted card.
bool ImageMountedThroughLoop(const DriveRoots& roots, const TargetIdentity& image) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fs::path(roots.sysfs) / "block", error)) {
        const std::string name = entry.path().filename().string();
        if (!StartsWith(name, "loop")) continue;
        std::string backing = ReadAttribute((entry.path() / "loop" / "backing_file").string()).value_or("");
        constexpr std::string_view kDeleted = " (deleted)";
        if (backing.size() > kDeleted.size() && backing.ends_with(kDeleted)) backing.resize(backing.size() - kDeleted.size());
        struct stat info {};
        if (backing.empty() || ::stat(backing.c_str(), &info) != 0 || !image.Matches(info)) continue;
        const auto mounts = MountsOnDisk(roots, name);
        if (!mounts || !mounts->empty()) return true;
    }
    return false;
}

// The size of what the drive number stands for, through a descriptor checked to reach it.
uint64_t DriveSizeBytes(int drive) {
    struct stat info {};
    const int fd = OpenDriveNode(drive, O_RDONLY | O_NONBLOCK, &info);
    if (fd < 0) return 0;
    uint64_t bytes = 0;
    if (S_ISREG(info.st_mode)) {
        bytes = static_cast<uint64_t>(info.st_size);
    } else if (::ioctl(fd, BLKGETSIZE64, &bytes) != 0) {
        bytes = 0;
    }
    ::close(fd);
    return bytes;
}

uint32_t CutToSectorCount(uint64_t sectors) {
    const auto cut = static_cast<uint32_t>(sectors);
    return cut == 0 ? 1 : cut;
}

// Zeroes the sector at `volumeStart`, or the first MBR volume's when none is given. Only a
// drive whose sector 0 carries an MBR has volumes: a card in Tavrin format has none, whatever
// an older partition table that the kernel still shows says.
bool ZeroFirstVolume(int drive, std::optional<uint64_t> volumeStart) {
    DiskSectorLinux device;
    if (!device.Open(drive)) return false;
    std::array<uint8_t, kSectorSize> sector{};
    if (!device.Read(0, sector.data(), kSectorSize)) return false;
    if (!volumeStart) volumeStart = FirstMbrVolumeStart(sector.data(), sector.size(), device.SizeBytes() / kSectorSize);
    if (!HasMbrSignature(sector.data(), sector.size()) || !volumeStart || *volumeStart < kFirstClearableSector) {
        return true;
    }
    sector.fill(0);
    const bool written = *volumeStart <= UINT64_MAX / kSectorSize && device.WriteAt(*volumeStart * kSectorSize, sector.data(), kSectorSize);
    return written && device.Flush();
}

}  // namespace

bool IsRemovableDisk(int drive) {
    const DriveRoots roots = CurrentRoots();
    const auto entry = FindDrive(roots, drive);
    if (!entry || !entry->IsDisk() || DrivePath(drive).empty()) return false;
    const fs::path dir = fs::path(roots.sysfs) / "block" / entry->diskName;
    const bool removable = ReadAttribute((dir / "removable").string()) == "1";
    // Built-in SD readers often report removable 0.
    const bool sdCard = ReadAttribute((dir / "device" / "type").string()) == "SD";
    return (removable || sdCard) && !HoldsSystemMount(roots, entry->diskName);
}

uint32_t DiskSectorCount(int drive) {
    const DriveRoots roots = CurrentRoots();
    const auto entry = FindDrive(roots, drive);
    if (!entry) return 1;
    if (!entry->IsDisk()) return CutToSectorCount(DriveSizeBytes(drive) / kSectorSize);
    if (!DriveStillChosenTarget(drive)) return 1;
    const auto size = ReadNumberAttribute((fs::path(roots.sysfs) / "block" / entry->diskName / "size").string());
    return CutToSectorCount(size.value_or(0));
}

uint32_t TransferBytes(int drive) {
    const auto target = FindDriveTarget(drive);
    return target && !target->identity.IsBlockDevice() ? kImageTransferBytes : kCardTransferBytes;
}

bool ClearLogicalDrive(int drive) {
    const DriveRoots roots = CurrentRoots();
    const auto entry = FindDrive(roots, drive);
    const std::string path = DrivePath(drive);
    if (!entry || path.empty()) return false;
    if (!entry->IsDisk()) {
        const auto target = FindDriveTarget(drive);
        if (!target || ImageMountedThroughLoop(roots, target->identity)) return false;
        return ZeroFirstVolume(drive, std::nullopt);
    }
    if (!UnmountDisk(roots, entry->diskName)) return false;
    const auto partitions = ListPartitions(roots.sysfs, entry->diskName);
    if (partitions.empty()) return true;
    return ZeroFirstVolume(drive, partitions.front().start);
}

bool ListableThroughService(int drive) {
    const DriveRoots roots = CurrentRoots();
    const auto entry = FindDrive(roots, drive);
    const std::string path = DrivePath(drive);
    if (!entry || !entry->IsDisk() || path.empty() || !IsRemovableDisk(drive)) return false;
    // Only for a user the system keeps out: whoever may open the node gets no help from the bus.
    if (!DirectAccessRefused(path.c_str())) return false;
    const auto number = DeviceNumberOf(roots.sysfs, entry->diskName, entry->diskName);
    return number && TheDiskService().IsRemovableMedia(*number);
}

bool DriveStillChosenTarget(int drive) {
    const auto target = FindDriveTarget(drive);
    struct stat info {};
    return target && ::stat(target->path.c_str(), &info) == 0 && target->identity.Matches(info);
}

std::string DriveMapText() {
    const DriveRoots roots = CurrentRoots();
    DiscoverDisks(roots);
    std::vector<std::pair<int, std::vector<std::string>>> disks;
    for (int number : DiskDriveNumbers()) {
        const auto entry = FindDrive(roots, number);
        disks.emplace_back(number, DeviceNamesOnDisk(roots.sysfs, entry->diskName));
    }
    std::string text;
    std::set<std::string> shown;
    for (const auto& mount : ReadMountTable(roots.mounts).value_or(std::vector<MountEntry>{})) {
        const std::string device = SourceDeviceName(mount.source, roots.dev);
        if (device.empty() || !shown.insert(device).second) continue;
        int number = -1;
        for (const auto& [drive, names] : disks) {
            if (std::find(names.begin(), names.end(), device) != names.end()) number = drive;
        }
        text += FormatText(kDriveMapLine, device.c_str(), number);
    }
    return text;
}

void SetUnmountFunctionForTesting(UnmountFunction unmount) { TestUnmount() = std::move(unmount); }

}  // namespace tavrin
