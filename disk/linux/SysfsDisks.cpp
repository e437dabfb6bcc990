// SPDX-License-Identifier: Apache-2.0
#include "disk/linux/SysfsDisks.h"

#include <sys/sysmacros.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "common/AsciiText.h"
#include "common/PosixCalls.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

std::string EnvironmentOr(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

std::vector<std::string> DirectoryNames(const fs::path& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    return names;
}

void AddHolders(const fs::path& device, std::vector<std::string>& names) {
    for (const auto& holder : DirectoryNames(device / "holders")) names.push_back(holder);
}

}  // namespace

DriveRoots CurrentRoots() {
    return {EnvironmentOr("TAVRIN_SYSFS_ROOT", "/sys"), EnvironmentOr("TAVRIN_DEV_ROOT", "/dev"),
            EnvironmentOr("TAVRIN_MOUNTS", "/proc/self/mounts")};
}

bool IsSkippedDiskName(const std::string& name) {
    static constexpr std::array<const char*, 6> kVirtual{"loop", "ram", "zram", "dm-", "md", "sr"};
    for (const char* prefix : kVirtual) {
        if (StartsWith(name, prefix)) return true;
    }
    if (StartsWith(name, "mmcblk")) {
        return name.find("boot") != std::string::npos || name.find("rpmb") != std::string::npos;
    }
    return name.empty() || name[0] == '.';
}

bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t iEnd = i;
            size_t jEnd = j;
            while (iEnd < a.size() && IsDigit(a[iEnd])) ++iEnd;
            while (jEnd < b.size() && IsDigit(b[jEnd])) ++jEnd;
            std::string x = a.substr(i, iEnd - i);
            std::string y = b.substr(j, jEnd - j);
            x.erase(0, std::min(x.find_first_not_of('0'), x.size()));
            y.erase(0, std::min(y.find_first_not_of('0'), y.size()));
            if (x.size() != y.size()) return x.size() < y.size();
            if (x != y) return x < y;
            i = iEnd;
            j = jEnd;
        } else {
            if (a[i] != b[j]) return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    if (a.size() - i != b.size() - j) return a.size() - i < b.size() - j;
    return a < b;
}

std::vector<std::string> ListWholeDisks(const std::string& sysfs) {
    std::vector<std::string> disks;
    for (const auto& name : DirectoryNames(fs::path(sysfs) / "block")) {
        if (!IsSkippedDiskName(name) && WholeDiskExists(sysfs, name)) disks.push_back(name);
    }
    std::sort(disks.begin(), disks.end(), NaturalLess);
    return disks;
}

bool WholeDiskExists(const std::string& sysfs, const std::string& disk) {
    if (disk.empty() || disk.find('/') != std::string::npos || disk == "." || disk == "..") return false;
    std::error_code error;
    return fs::is_directory(fs::path(sysfs) / "block" / disk, error);
}

std::vector<PartitionInfo> ListPartitions(const std::string& sysfs, const std::string& disk) {
    std::vector<PartitionInfo> partitions;
    if (!WholeDiskExists(sysfs, disk)) return partitions;
    const fs::path diskDir = fs::path(sysfs) / "block" / disk;
    for (const auto& name : DirectoryNames(diskDir)) {
        const auto number = ReadNumberAttribute((diskDir / name / "partition").string());
        const auto start = ReadNumberAttribute((diskDir / name / "start").string());
        if (!number || !start || *number > 1000000) continue;
        partitions.push_back({name, static_cast<int>(*number), *start});
    }
    std::sort(partitions.begin(), partitions.end(),
              [](const PartitionInfo& a, const PartitionInfo& b) { return a.number < b.number; });
    return partitions;
}

std::vector<std::string> DeviceNamesOnDisk(const std::string& sysfs, const std::string& disk) {
    std::vector<std::string> names{disk};
    const fs::path diskDir = fs::path(sysfs) / "block" / disk;
    AddHolders(diskDir, names);
    for (const auto& partition : ListPartitions(sysfs, disk)) {
        names.push_back(partition.name);
        AddHolders(diskDir / partition.name, names);
    }
    return names;
}

std::optional<std::string> ReadAttribute(const std::string& path) {
    const std::optional<std::string> text = ReadWholeFile(path);
    if (!text) return std::nullopt;
    const std::string& value = *text;
    const auto first = value.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    const auto last = value.find_last_not_of(" \t\r\n");
    return value.substr(first, last - first + 1);
}

std::optional<uint64_t> ReadNumberAttribute(const std::string& path) {
    const auto text = ReadAttribute(path);
    if (!text || text->empty() || text->size() > 20) return std::nullopt;
    if (!std::all_of(text->begin(), text->end(), IsDigit)) return std::nullopt;
    errno = 0;
    const unsigned long long value = std::strtoull(text->c_str(), nullptr, 10);
    if (errno == ERANGE) return std::nullopt;
    return static_cast<uint64_t>(value);
}

std::optional<std::string> BlockNameOfDevice(const std::string& sysfs, unsigned major, unsigned minor) {
    std::error_code error;
    const fs::path link = fs::path(sysfs) / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor));
    const fs::path target = fs::read_symlink(link, error);
    if (error || target.filename().empty()) return std::nullopt;
    return target.filename().string();
}

std::optional<dev_t> DeviceNumberOf(const std::string& sysfs, const std::string& disk, const std::string& name) {
    const fs::path block = fs::path(sysfs) / "block";
    auto text = ReadAttribute((block / name / "dev").string());
    if (!text) text = ReadAttribute((block / disk / name / "dev").string());
    unsigned major = 0;
    unsigned minor = 0;
    char end = 0;
    if (!text || std::sscanf(text->c_str(), "%u:%u%c", &major, &minor, &end) != 2) return std::nullopt;
    return makedev(major, minor);
}

}  // namespace tavrin
