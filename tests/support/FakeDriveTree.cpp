// SPDX-License-Identifier: Apache-2.0
#include "support/FakeDriveTree.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "disk/Drives.h"

namespace tavrin {

namespace fs = std::filesystem;

namespace {

std::optional<std::string> SwapEnvironment(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv(name, value.c_str(), 1);
    return saved;
}

void RestoreEnvironment(const char* name, const std::optional<std::string>& saved) {
    if (saved) {
        ::setenv(name, saved->c_str(), 1);
    } else {
        ::unsetenv(name);
    }
}

void WriteText(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// One major number for the whole tree, a minor number per device in the order added.
void WriteDeviceNumber(const fs::path& dir, const std::string& name, std::map<std::string, dev_t>& numbers) {
    const unsigned minor = static_cast<unsigned>(numbers.size());
    numbers[name] = makedev(240, minor);
    WriteText(dir / "dev", "240:" + std::to_string(minor) + "\n");
}

bool SetImmutable(const std::string& path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return ok;
}

bool RefusesWriting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0) ::close(fd);
    return fd < 0;
}

void MakeSparseFile(const std::string& path, uint64_t bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).close();
    fs::resize_file(path, bytes);
}

}  // namespace

FakeDriveTree::FakeDriveTree() {
    std::string pattern = (fs::temp_directory_path() / "tavrin-drives-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
    fs::create_directories(SysfsRoot() + "/block");
    fs::create_directories(DevRoot());
    WriteText(MountsPath(), "");
    savedSysfs_ = SwapEnvironment("TAVRIN_SYSFS_ROOT", SysfsRoot());
    savedDev_ = SwapEnvironment("TAVRIN_DEV_ROOT", DevRoot());
    savedMounts_ = SwapEnvironment("TAVRIN_MOUNTS", MountsPath());
    ResetDriveNumbering();
    SetUnmountFunctionForTesting([this](const std::string& mountPoint) { return ScriptedUnmount(mountPoint); });
}

FakeDriveTree::~FakeDriveTree() {
    for (const auto& path : readOnlyFiles_) SetImmutable(path, false);
    SetUnmountFunctionForTesting(nullptr);
    ResetDriveNumbering();
    RestoreEnvironment("TAVRIN_SYSFS_ROOT", savedSysfs_);
    RestoreEnvironment("TAVRIN_DEV_ROOT", savedDev_);
    RestoreEnvironment("TAVRIN_MOUNTS", savedMounts_);
    std::error_code error;
    fs::remove_all(dir_, error);
}

std::string FakeDriveTree::AddDisk(const std::string& name, uint64_t sectors, bool removable, bool sdCard) {
    const fs::path disk = fs::path(SysfsRoot()) / "block" / name;
    WriteText(disk / "removable", removable ? "1\n" : "0\n");
    WriteText(disk / "size", std::to_string(sectors) + "\n");
    WriteText(disk / "device" / "type", sdCard ? "SD\n" : "0\n");
    WriteDeviceNumber(disk, name, deviceNumbers_);
    MakeSparseFile(NodePath(name), sectors * 512);
    return NodePath(name);
}

std::string FakeDriveTree::AddPartition(const std::string& disk, int number, uint64_t start, uint64_t sectors) {
    const bool endsInDigit = !disk.empty() && std::isdigit(static_cast<unsigned char>(disk.back()));
    const std::string name = disk + (endsInDigit ? "p" : "") + std::to_string(number);
    const fs::path dir = fs::path(SysfsRoot()) / "block" / disk / name;
    WriteText(dir / "partition", std::to_string(number) + "\n");
    WriteText(dir / "start", std::to_string(start) + "\n");
    WriteText(dir / "size", std::to_string(sectors) + "\n");
    WriteDeviceNumber(dir, name, deviceNumbers_);
    return name;
}

void FakeDriveTree::RemoveDisk(const std::string& name) {
    fs::remove_all(fs::path(SysfsRoot()) / "block" / name);
    RemoveNode(name);
}

void FakeDriveTree::RemoveNode(const std::string& name) { fs::remove(NodePath(name)); }

void FakeDriveTree::Mount(const std::string& source, const std::string& mountPoint) {
    const std::string device = source.find('/') == std::string::npos ? NodePath(source) : source;
    AddMountLine(device + ' ' + mountPoint + " vfat rw 0 0");
}

void FakeDriveTree::AddMountLine(const std::string& line) { std::ofstream(MountsPath(), std::ios::app) << line << '\n'; }

bool FakeDriveTree::ScriptedUnmount(const std::string& mountPoint) {
    unmountCalls_.push_back(mountPoint);
    if (!unmountSucceeds_) {
        errno = unmountError_;
        return false;
    }
    Unmounted(mountPoint);
    return true;
}

dev_t FakeDriveTree::DeviceNumber(const std::string& name) const {
    const auto found = deviceNumbers_.find(name);
    return found == deviceNumbers_.end() ? 0 : found->second;
}

void FakeDriveTree::Unmounted(const std::string& mountPoint) {
    std::ifstream in(MountsPath());
    std::string line;
    std::string kept;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string source;
        std::string point;
        fields >> source >> point;
        if (point != mountPoint) kept += line + "\n";
    }
    in.close();
    WriteText(MountsPath(), kept);
}

std::string FakeDriveTree::AddImage(const std::string& fileName, uint64_t sectors) {
    const std::string path = dir_ + "/" + fileName;
    MakeSparseFile(path, sectors * 512);
    return path;
}

int FakeDriveTree::DriveNumber(const std::string& name) const { return RegisterDrivePath(NodePath(name)); }

std::string FakeDriveTree::NodePath(const std::string& name) const { return DevRoot() + "/" + name; }

bool FakeDriveTree::MakeReadOnly(const std::string& path) {
    if (::geteuid() != 0) {
        ::chmod(path.c_str(), 0444);
    } else if (SetImmutable(path, true)) {
        readOnlyFiles_.push_back(path);
    }
    return RefusesWriting(path);
}

void FakeDriveTree::WriteBytes(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes) {
    std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(static_cast<std::streamoff>(offset));
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> FakeDriveTree::ReadBytes(const std::string& path, uint64_t offset, size_t count) {
    std::vector<uint8_t> bytes(count);
    std::ifstream file(path, std::ios::binary);
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return bytes;
}

}  // namespace tavrin
