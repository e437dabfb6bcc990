// SPDX-License-Identifier: Apache-2.0
#include "disk/linux/LinuxSectorDevice.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "card/CardSizes.h"
#include "common/PosixCalls.h"
#include "disk/Drives.h"
#include "disk/linux/DiskService.h"
#include "disk/linux/DriveRegistry.h"
#include "disk/linux/SysfsDisks.h"

namespace tavrin {

namespace {

constexpr uint64_t kReachEnd = uint64_t{1} << 31;  // signed 32-bit byte offsets end here
constexpr size_t kMemoryAlignment = 4096;
constexpr size_t kBounceSize = kEraseUnitBytes;
constexpr uint32_t kDefaultBlockSize = 512;

// Open refusals that mean "not for writing" rather than "not there".
bool RefusedForWriting(int error) {
    return error == EBUSY || error == EROFS || error == EACCES || error == EPERM;
}

int OpenRetrying(const char* path, int flags) {
    return RetryInterrupted([&] { return ::open(path, flags | O_CLOEXEC); });
}

uint64_t BlockDeviceSize(int fd) {
    uint64_t bytes = 0;
    return ::ioctl(fd, BLKGETSIZE64, &bytes) == 0 ? bytes : UINT64_MAX;
}

uint32_t LogicalBlockSize(int fd) {
    int size = 0;
    if (::ioctl(fd, BLKSSZGET, &size) != 0 || size < 512 || (size & (size - 1)) != 0 ||
        static_cast<size_t>(size) > kMemoryAlignment) {
        return kDefaultBlockSize;
    }
    return static_cast<uint32_t>(size);
}

}  // namespace

void DiskSectorLinux::FreeDeleter::operator()(uint8_t* p) const { std::free(p); }

DiskSectorLinux::~DiskSectorLinux() { Close(); }

bool DiskSectorLinux::Open(int target) { return OpenTarget(target, false); }

bool DiskSectorLinux::OpenForWriting(int target) { return OpenTarget(target, true); }

bool DiskSectorLinux::OpenTarget(int target, bool forWriting) {
    Close();
    const auto chosen = FindDriveTarget(target);
    if (!chosen) {
        lastError_ = ENOENT;
        return false;
    }
    const bool refusedForTest = DirectAccessRefusedForTesting();
    if (!refusedForTest && OpenChecked(chosen->path, chosen->identity, false, forWriting)) return true;
    if (refusedForTest) lastError_ = EACCES;
    // The system refused this user: the desktop's disk service may open it instead.
    return ServiceMayStandIn(lastError_) && OpenThroughService(target, chosen->identity, forWriting);
}

bool DiskSectorLinux::OpenThroughService(int drive, const TargetIdentity& identity, bool forWriting) {
    const DriveRoots roots = CurrentRoots();
    const auto entry = FindDrive(roots, drive);
    if (!entry || !entry->IsDisk()) return false;
    const auto number = DeviceNumberOf(roots.sysfs, entry->diskName, entry->diskName);
    if (!number || (identity.IsBlockDevice() && identity.Device() != *number)) return false;
    DiskService& service = TheDiskService();
    int fd = -1;
    bool readOnly = false;
    DiskService::Result result = service.OpenDisk(*number, true, true, fd);
    if (!forWriting && (result == DiskService::Result::Busy || result == DiskService::Result::Failed)) {
        readOnly = true;  // mounted elsewhere, or a locked card: reading only, as directly
        writeRefusal_ = result == DiskService::Result::Busy ? EBUSY : EROFS;
        result = service.OpenDisk(*number, false, true, fd);
    }
    // The descriptor passes the same identity check as a direct open: another disk is refused.
    if (result != DiskService::Result::Done || !Opened(fd, identity, readOnly)) return false;
    if (identity.IsBlockDevice()) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && (flags & O_DIRECT) == 0) ::fcntl(fd, F_SETFL, flags | O_DIRECT);
        blockSize_ = LogicalBlockSize(fd);
        size_ = BlockDeviceSize(fd);
        return true;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    blockSize_ = flags >= 0 && (flags & O_DIRECT) != 0 ? kDefaultBlockSize : 0;
    return true;
}

bool DiskSectorLinux::OpenPath(const std::string& path, bool alignedTransfers) {
    Close();
    const auto identity = TargetIdentity::OfPath(path.c_str());
    if (!identity) {
        lastError_ = ENOENT;
        return false;
    }
    return OpenChecked(path, *identity, alignedTransfers, false);
}

bool DiskSectorLinux::OpenChecked(const std::string& path, const TargetIdentity& identity, bool alignedTransfers,
                                  bool forWriting) {
    lastError_ = 0;
    const bool opened = identity.IsBlockDevice() ? OpenBlockDevice(path, identity, forWriting)
                                                 : OpenImageFile(path, identity, alignedTransfers, forWriting);
    if (!opened && lastError_ == 0) lastError_ = errno;
    return opened;
}

bool DiskSectorLinux::OpenBlockDevice(const std::string& path, const TargetIdentity& identity, bool forWriting) {
    int fd = OpenRetrying(path.c_str(), O_RDWR | O_DIRECT | O_EXCL);
    bool readOnly = false;
    if (fd < 0 && !forWriting && RefusedForWriting(errno)) {
        writeRefusal_ = errno;
        fd = OpenRetrying(path.c_str(), O_RDONLY | O_DIRECT);
        readOnly = true;
    }
    if (fd < 0 || !Opened(fd, identity, readOnly)) return false;
    blockSize_ = LogicalBlockSize(fd);
    size_ = BlockDeviceSize(fd);
    return true;
}

bool DiskSectorLinux::OpenImageFile(const std::string& path, const TargetIdentity& identity, bool alignedTransfers,
                                    bool forWriting) {
    const int direct = alignedTransfers ? O_DIRECT : 0;
    // Non-blocking: a path swapped for a FIFO must not hang the open.
    int fd = OpenRetrying(path.c_str(), O_RDWR | O_NONBLOCK | direct);
    if (fd < 0 && direct != 0 && errno == EINVAL) fd = OpenRetrying(path.c_str(), O_RDWR | O_NONBLOCK);  // tmpfs
    bool readOnly = false;
    if (fd < 0 && !forWriting && RefusedForWriting(errno)) {
        writeRefusal_ = errno;
        fd = OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | direct);
        if (fd < 0 && direct != 0 && errno == EINVAL) fd = OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK);
        readOnly = true;
    }
    if (fd < 0 || !Opened(fd, identity, readOnly)) return false;
    blockSize_ = alignedTransfers ? kDefaultBlockSize : 0;
    return true;
}

// The path may have been replaced since the target was chosen: only the chosen object is used.
// An image's size comes from the same look; a block device's is asked for after.
bool DiskSectorLinux::Opened(int fd, const TargetIdentity& identity, bool readOnly) {
    struct stat info {};
    if (!identity.MatchesDescriptor(fd, info)) {
        ::close(fd);
        lastError_ = ESTALE;
        return false;
    }
    fd_ = fd;
    readOnly_ = readOnly;
    size_ = S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
    return true;
}

void DiskSectorLinux::Close() {
    if (fd_ < 0) return;
    lastCloseFlushed_ = true;
    if (written_) lastCloseFlushed_ = ::fsync(fd_) == 0;
    ::close(fd_);
    fd_ = -1;
    readOnly_ = false;
    written_ = false;
    blockSize_ = 0;
    size_ = 0;
}

bool DiskSectorLinux::Flush() {
    if (fd_ < 0) return Failed(EBADF);
    if (written_ && ::fsync(fd_) != 0) return Failed(errno);
    // Durable now: a Close with nothing written since need not wait for the card again.
    written_ = false;
    return true;
}

bool DiskSectorLinux::Read(int32_t offset, void* buffer, uint32_t count) {
    if (offset < 0 || static_cast<uint64_t>(offset) + count > kReachEnd) return Failed(EINVAL);
    return Transfer(static_cast<uint64_t>(offset), static_cast<uint8_t*>(buffer), count, false);
}

bool DiskSectorLinux::Write(int32_t offset, const void* data, uint32_t count) {
    if (offset < 0 || static_cast<uint64_t>(offset) + count > kReachEnd) return Failed(EINVAL);
    return WriteAt(static_cast<uint64_t>(offset), data, count);
}

bool DiskSectorLinux::WriteAt(uint64_t offset, const void* data, uint32_t count) {
    if (readOnly_) return Failed(writeRefusal_ != 0 ? writeRefusal_ : EBADF);
    // The data is only read; Transfer shares one signature for both directions.
    return Transfer(offset, static_cast<uint8_t*>(const_cast<void*>(data)), count, true);
}

bool DiskSectorLinux::Transfer(uint64_t offset, uint8_t* buffer, uint32_t count, bool write) {
    if (fd_ < 0) return Failed(EBADF);
    // A card does not grow.
    if (offset > size_ || count > size_ - offset) return Failed(write ? ENOSPC : EINVAL);
    if (count == 0) return true;
    if (write) written_ = true;
    const bool aligned = blockSize_ == 0 ||
                         (reinterpret_cast<uintptr_t>(buffer) % kMemoryAlignment == 0 &&
                          offset % blockSize_ == 0 && count % blockSize_ == 0);
    if (aligned) return FullTransfer(offset, buffer, count, write);
    return TransferAligned(offset, buffer, count, write);
}

// Moves the caller's bytes through the bounce buffer in block-aligned pieces; a piece that the
// caller's range covers only in part is read first so that its other bytes stay as they are.
bool DiskSectorLinux::TransferAligned(uint64_t offset, uint8_t* buffer, uint32_t count, bool write) {
    uint8_t* bounce = Bounce();
    if (bounce == nullptr) return Failed(ENOMEM);
    const uint64_t end = offset + count;
    const uint64_t alignedStart = offset - offset % blockSize_;
    const uint64_t alignedEnd = (end + blockSize_ - 1) / blockSize_ * blockSize_;
    for (uint64_t piece = alignedStart; piece < alignedEnd; piece += kBounceSize) {
        const uint64_t pieceEnd = std::min<uint64_t>(alignedEnd, piece + kBounceSize);
        const size_t pieceBytes = pieceEnd - piece;
        const uint64_t from = std::max(piece, offset);
        const uint64_t to = std::min(pieceEnd, end);
        uint8_t* callerBytes = buffer + (from - offset);
        uint8_t* bounceBytes = bounce + (from - piece);
        const bool partial = from > piece || to < pieceEnd;
        if (!write || partial) {
            if (!FullTransfer(piece, bounce, pieceBytes, false)) return false;
        }
        if (!write) {
            std::memcpy(callerBytes, bounceBytes, to - from);
            continue;
        }
        std::memcpy(bounceBytes, callerBytes, to - from);
        if (!FullTransfer(piece, bounce, pieceBytes, true)) return false;
    }
    return true;
}

bool DiskSectorLinux::FullTransfer(uint64_t offset, uint8_t* buffer, size_t count, bool write) {
    while (count > 0) {
        const ssize_t done = RetryInterrupted([&] {
            return write ? ::pwrite(fd_, buffer, count, static_cast<off_t>(offset))
                         : ::pread(fd_, buffer, count, static_cast<off_t>(offset));
        });
        // Nothing moved and no error: the end of a file that shrank, or a device that is full.
        if (done <= 0) return Failed(done < 0 ? errno : write ? ENOSPC : EIO);
        buffer += done;
        offset += static_cast<uint64_t>(done);
        count -= static_cast<size_t>(done);
    }
    return true;
}

bool DiskSectorLinux::Failed(int error) {
    lastError_ = error;
    return false;
}

uint8_t* DiskSectorLinux::Bounce() {
    if (!bounce_) {
        void* memory = nullptr;
        if (::posix_memalign(&memory, kMemoryAlignment, kBounceSize) != 0) return nullptr;
        bounce_.reset(static_cast<uint8_t*>(memory));
    }
    return bounce_.get();
}

std::unique_ptr<DiskSectorRW> CreateSectorDevice() { return std::make_unique<DiskSectorLinux>(); }

}  // namespace tavrin
