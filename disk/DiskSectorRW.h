// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <functional>
#include <memory>

// The only path by which the tool reads or writes a card. Offsets are signed 32-bit byte
// offsets, so only the first 2 GiB of a drive can be reached. Failures are false results.
class DiskSectorRW {
public:
    virtual ~DiskSectorRW() = default;
    virtual bool Open(int target) = 0;
    virtual void Close() = 0;
    virtual bool Read(int32_t offset, void* buffer, uint32_t count) = 0;
    virtual bool Write(int32_t offset, const void* data, uint32_t count) = 0;
    // Makes what was written so far durable on the medium. Close flushes too but cannot say
    // that it failed; an operation asks here before it reports a write as done.
    virtual bool Flush() { return true; }
};

// The device for the running platform.
std::unique_ptr<DiskSectorRW> CreateSectorDevice();

using DeviceFactory = std::function<std::unique_ptr<DiskSectorRW>()>;
