// SPDX-License-Identifier: Apache-2.0
#include "cli/CliTarget.h"

#include <sys/stat.h>

#include "disk/DiskLists.h"
#include "disk/Drives.h"

namespace tavrin {

namespace {

bool AllDigits(const std::string& text) {
    return !text.empty() && text.size() < 6 && text.find_first_not_of("0123456789") == std::string::npos;
}

ResolvedTarget Listed(int drive) {
    const ListModel list = BuildDiskList(CreateSectorDevice, -1);
    for (const ListEntry& entry : list.entries) {
        if (entry.itemData == drive) return {drive, ""};
    }
    return {-1, "drive " + std::to_string(drive) + " is not a listed removable disk (see 'tavrin-cli list')"};
}

}  // namespace

ResolvedTarget ResolveTarget(const std::string& target) {
    if (AllDigits(target)) return Listed(std::stoi(target));
    struct stat info {};
    if (stat(target.c_str(), &info) != 0) return {-1, "'" + target + "' does not exist (an image file is never created)"};
    if (!S_ISREG(info.st_mode) && !S_ISBLK(info.st_mode)) {
        return {-1, "'" + target + "' is neither an image file nor a block device"};
    }
    const int drive = RegisterDrivePath(target);
    if (drive < 0) return {-1, "'" + target + "' cannot be used as a card"};
    // A fixed disk, or one holding the running system, is never written by name either.
    if (S_ISBLK(info.st_mode) && !IsRemovableDisk(drive)) {
        return {-1, "'" + target + "' is not a removable disk"};
    }
    return {drive, ""};
}

}  // namespace tavrin
