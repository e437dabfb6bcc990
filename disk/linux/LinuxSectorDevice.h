// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "disk/DiskSectorRW.h"
#include "disk/TargetIdentity.h"

namespace tavrin {

// Sector device on a Linux block device or an image file standing for a card.
//
// A block device is opened O_DIRECT, so what is read back comes from the card and not from the
// page cache, and O_EXCL, so nothing is ever written under a mounted filesystem: when the
// exclusive open is refused, Open opens shared for reading and every Write fails, while
// OpenForWriting fails. An image file never grows: a transfer reaching past its end fails.
// Every open checks that it reached the object the drive number or path was chosen as. A drive
// that the system does not let this user open is opened by the desktop's disk service when it
// answers, with the same checks.
class DiskSectorLinux : public DiskSectorRW {
public:
    DiskSectorLinux() = default;
    ~DiskSectorLinux() override;
    DiskSectorLinux(const DiskSectorLinux&) = delete;
    DiskSectorLinux& operator=(const DiskSectorLinux&) = delete;

    // Opens the device node or image behind the drive number (see DrivePath).
    bool Open(int target) override;
    bool OpenToLook(int target) override { return Open(target); }
    bool OpenForWriting(int target) override;
    // Flushes what was written, then releases the device.
    void Close() override;
    bool Read(int32_t offset, void* buffer, uint32_t count) override;
    bool Write(int32_t offset, const void* data, uint32_t count) override;
    bool Flush() override;
    // ESTALE after an open: the path reached another object than the one chosen.
    int LastError() const override { return lastError_; }

    // Opens a device node or image file by path. With alignedTransfers an image file is handled
    // like a block device (O_DIRECT when the filesystem allows it, aligned transfers always),
    // which lets the bounce-buffer path be exercised without a real disk.
    bool OpenPath(const std::string& path, bool alignedTransfers = false);
    // A write at a 64-bit byte offset, for the drive queries that address a volume beyond the
    // reach of the card layout. Same rules as Write otherwise.
    bool WriteAt(uint64_t offset, const void* data, uint32_t count);

    bool IsOpen() const { return fd_ >= 0; }
    bool IsReadOnly() const { return readOnly_; }
    uint64_t SizeBytes() const { return size_; }
    // Whether the last Close flushed everything written (true when nothing was written).
    bool LastCloseFlushed() const { return lastCloseFlushed_; }

private:
    bool OpenTarget(int target, bool forWriting);
    bool OpenChecked(const std::string& path, const TargetIdentity& identity, bool alignedTransfers, bool forWriting);
    bool OpenBlockDevice(const std::string& path, const TargetIdentity& identity, bool forWriting);
    bool OpenImageFile(const std::string& path, const TargetIdentity& identity, bool alignedTransfers,
                       bool forWriting);
    bool Opened(int fd, const TargetIdentity& identity, bool readOnly);
    bool OpenThroughService(int drive, const TargetIdentity& identity, bool forWriting);
    bool Transfer(uint64_t offset, uint8_t* buffer, uint32_t count, bool write);
    bool TransferAligned(uint64_t offset, uint8_t* buffer, uint32_t count, bool write);
    // One positioned transfer of exactly `count` bytes, however many system calls it takes.
    bool FullTransfer(uint64_t offset, uint8_t* buffer, size_t count, bool write);
    bool Failed(int error);
    uint8_t* Bounce();

    struct FreeDeleter {
        void operator()(uint8_t* p) const;
    };

    int fd_ = -1;
    int lastError_ = 0;
    bool readOnly_ = false;
    int writeRefusal_ = 0;  // why an open for reading and writing was refused, when readOnly_
    bool written_ = false;
    bool lastCloseFlushed_ = true;
    uint32_t blockSize_ = 0;  // alignment of offsets and counts; 0 when any transfer goes as it is
    uint64_t size_ = 0;       // bytes reachable on the device or image
    std::unique_ptr<uint8_t, FreeDeleter> bounce_;
};

}  // namespace tavrin
