// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "disk/DiskSectorRW.h"

namespace tavrin {

// One operation's sector device: closed on every way out. Offsets are taken in 64 bits so that
// positions worked out from a damaged card fail here instead of wrapping to another sector.
class DeviceSession {
public:
    explicit DeviceSession(const DeviceFactory& makeDevice);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    bool Open(int drive);
    bool OpenForWriting(int drive);
    // For the first sectors only (see DiskSectorRW::OpenToLook).
    bool OpenToLook(int drive);
    void Close();
    bool Read(int64_t offset, void* buffer, uint32_t count);
    bool Write(int64_t offset, const void* data, uint32_t count);
    bool Flush();
    // One request for `count` bytes; when that fails, the same bytes again `unit` at a time,
    // as they went before requests grew. True when every unit got through; otherwise
    // `failedAt` is the offset of the first unit that failed again.
    bool WriteInUnits(int64_t offset, const uint8_t* data, uint32_t count, uint32_t unit, int64_t& failedAt);
    // The system's words for why the last call failed ("Input/output error"); empty when
    // nothing failed.
    std::string FailureReason() const;

private:
    bool Done(bool done);
    // The session's own refusals (no device, not open, out of reach) and the device's failures.
    bool Reaches(int64_t offset, uint32_t count);

    std::unique_ptr<DiskSectorRW> device_;
    bool open_ = false;
    int error_ = 0;
};

// How an offset is printed in a message ("%08X" of its 32 bits).
inline unsigned AddressText(int64_t offset) { return static_cast<uint32_t>(offset); }

}  // namespace tavrin
