// SPDX-License-Identifier: Apache-2.0
#include "disk/linux/DriveRegistry.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <map>
#include <system_error>
#include <vector>

#include "common/PosixCalls.h"
#include "disk/Drives.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

// A name keeps its number for the life of the process and a number is never given to another
// device, so a selection never moves to a different card.
struct Registry {
    std::map<std::string, int> numbers;
    std::vector<DriveEntry> drives;  // indexed by number

    int NumberFor(const std::string& key, const DriveEntry& entry) {
        auto found = numbers.find(key);
        if (found != numbers.end()) return found->second;
        const int number = static_cast<int>(drives.size());
        drives.push_back(entry);
        numbers.emplace(key, number);
        return number;
    }
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

int NumberForDisk(const std::string& name) { return TheRegistry().NumberFor("disk:" + name, {name, "", {}}); }

// An explicitly named path keeps its number only while it names the same object: a path that
// was replaced is another target and gets another number.
std::string PathKey(const std::string& canonical, const struct stat& info) {
    return "path:" + canonical + "#" + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" +
           std::to_string(info.st_rdev);
}

bool PathExists(const std::string& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// A node directly in the device root that sysfs lists as a whole disk. This also maps the
// image files that a fake tree uses as nodes to their disk.
std::optional<std::string> DiskNameOfNode(const DriveRoots& roots, const fs::path& canonical) {
    std::error_code error;
    const fs::path devRoot = fs::canonical(roots.dev, error);
    if (error || canonical.parent_path() != devRoot) return std::nullopt;
    const std::string name = canonical.filename().string();
    if (!WholeDiskExists(roots.sysfs, name)) return std::nullopt;
    return name;
}

// A disk named now is chosen now: its number stands for the object looked at from here on.
int ChosenNow(int drive, const struct stat& info) {
    TheRegistry().drives[static_cast<size_t>(drive)].identity = TargetIdentity::Of(info);
    return drive;
}

}  // namespace

void DiscoverDisks(const DriveRoots& roots) {
    for (const auto& name : ListWholeDisks(roots.sysfs)) NumberForDisk(name);
}

std::optional<DriveEntry> FindDrive(const DriveRoots& roots, int drive) {
    const auto& drives = TheRegistry().drives;
    // A number never changes meaning, so only a number not given yet needs a new look at the
    // disks; every operation asks for its drive several times.
    if (drive >= static_cast<int>(drives.size())) DiscoverDisks(roots);
    if (drive < 0 || drive >= static_cast<int>(drives.size())) return std::nullopt;
    return drives[static_cast<size_t>(drive)];
}

std::vector<int> DiskDriveNumbers() {
    std::vector<int> result;
    const auto& drives = TheRegistry().drives;
    for (size_t i = 0; i < drives.size(); ++i) {
        if (drives[i].IsDisk()) result.push_back(static_cast<int>(i));
    }
    return result;
}

std::string DrivePath(int drive) {
    const DriveRoots roots = CurrentRoots();
    const auto entry = FindDrive(roots, drive);
    if (!entry) return {};
    if (!entry->IsDisk()) return PathExists(entry->path) ? entry->path : std::string();
    const std::string node = (fs::path(roots.dev) / entry->diskName).string();
    return WholeDiskExists(roots.sysfs, entry->diskName) && PathExists(node) ? node : std::string();
}

int RegisterDrivePath(const std::string& path) {
    const DriveRoots roots = CurrentRoots();
    DiscoverDisks(roots);
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return -1;
    if (!S_ISBLK(info.st_mode) && !S_ISREG(info.st_mode)) return -1;
    std::error_code error;
    const fs::path canonical = fs::canonical(path, error);
    if (error) return -1;
    if (const auto name = DiskNameOfNode(roots, canonical)) return ChosenNow(NumberForDisk(*name), info);
    if (S_ISBLK(info.st_mode)) {
        const auto name = BlockNameOfDevice(roots.sysfs, major(info.st_rdev), minor(info.st_rdev));
        if (name && WholeDiskExists(roots.sysfs, *name)) return ChosenNow(NumberForDisk(*name), info);
        if (name) return -1;  // a partition: a card is always named as a whole disk
    }
    return TheRegistry().NumberFor(PathKey(canonical.string(), info),
                                   {"", canonical.string(), TargetIdentity::Of(info)});
}

// No look at the path before it is opened: the open finds it missing, and the check of what it
// reached finds it replaced.
std::optional<DriveTarget> FindDriveTarget(int drive) {
    const DriveRoots roots = CurrentRoots();
    const auto found = FindDrive(roots, drive);
    if (!found) return std::nullopt;
    if (found->IsDisk() && !WholeDiskExists(roots.sysfs, found->diskName)) return std::nullopt;
    const std::string path = found->IsDisk() ? (fs::path(roots.dev) / found->diskName).string() : found->path;
    DriveEntry& entry = TheRegistry().drives[static_cast<size_t>(drive)];
    if (!entry.identity) entry.identity = TargetIdentity::OfPath(path.c_str());
    if (!entry.identity) return std::nullopt;
    return DriveTarget{path, *entry.identity};
}

void PinDiskSequence(int drive, uint64_t sequence) {
    auto& drives = TheRegistry().drives;
    if (drive < 0 || drive >= static_cast<int>(drives.size())) return;
    auto& identity = drives[static_cast<size_t>(drive)].identity;
    if (identity) identity = identity->WithSequence(sequence);
}

uint64_t DiskSequenceOf(int fd) {
    uint64_t sequence = 0;
    return ::ioctl(fd, BLKGETDISKSEQ, &sequence) == 0 ? sequence : 0;
}

int OpenTargetNode(const DriveTarget& target, int flags, struct stat* info) {
    const int fd = RetryInterrupted([&] { return ::open(target.path.c_str(), flags | O_CLOEXEC); });
    if (fd < 0) return -1;
    struct stat own {};
    if (!target.identity.MatchesDescriptor(fd, info ? *info : own)) {
        ::close(fd);
        errno = ESTALE;
        return -1;
    }
    return fd;
}

int OpenDriveNode(int drive, int flags, struct stat* info) {
    const auto target = FindDriveTarget(drive);
    if (!target) {
        errno = ENOENT;
        return -1;
    }
    return OpenTargetNode(*target, flags, info);
}

std::string OpenFailureReason(int error) {
    switch (error) {
    case ESTALE: return "it is no longer the disk or image file that was checked";
    case EBUSY: return "it is in use: mounted, or opened exclusively by another program";
    case ENOENT: return "it is gone";
    default: return std::strerror(error);
    }
}

void ResetDriveNumbering() { TheRegistry() = Registry(); }

}  // namespace tavrin
