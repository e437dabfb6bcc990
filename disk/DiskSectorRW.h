// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

namespace tavrin {

// The only path by which the tool reads or writes a card. Offsets are signed 32-bit byte
// offsets, so only the first 2 GiB of a drive can be reached. Failures are false results.
class DiskSectorRW {
public:
    virtual ~DiskSectorRW() = default;
    virtual bool Open(int target) = 0;
    // Open for an operation that writes: false, rather than an open for reading whose writes
    // all fail, when the drive cannot be written now (in use, mounted, write-protected).
    virtual bool OpenForWriting(int target) = 0;
    // Open to read the first sectors only (format mark and bank table). A device that holds
    // them already may leave the card alone until more is asked of it; any other opens.
    virtual bool OpenToLook(int target) = 0;
    virtual void Close() = 0;
    virtual bool Read(int32_t offset, void* buffer, uint32_t count) = 0;
    virtual bool Write(int32_t offset, const void* data, uint32_t count) = 0;
    // Makes what was written so far durable on the medium; false when that cannot be known.
    // Every device decides what this means for it and every wrapper passes it on: nothing is
    // reported as written before it answered true. Close may flush too, but cannot say that
    // it failed.
    virtual bool Flush() = 0;
    // errno of the last Open, Read, Write or Flush that failed, so that a message can say why;
    // a failure the device finds itself (past the end, not open) gives a fitting one too.
    virtual int LastError() const = 0;
};

// The device for the running platform.
std::unique_ptr<DiskSectorRW> CreateSectorDevice();

using DeviceFactory = std::function<std::unique_ptr<DiskSectorRW>()>;

}  // namespace tavrin
