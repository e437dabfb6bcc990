// SPDX-License-Identifier: Apache-2.0
#include "ops/DeviceSession.h"

#include <algorithm>

namespace {

constexpr int64_t kReach = int64_t{1} << 31;

bool Reachable(int64_t offset, uint32_t count) { return offset >= 0 && offset + count <= kReach; }

}  // namespace

DeviceSession::DeviceSession(const DeviceFactory& makeDevice) : device_(makeDevice ? makeDevice() : nullptr) {}

DeviceSession::~DeviceSession() { Close(); }

bool DeviceSession::Open(int drive) {
    Close();
    open_ = device_ && device_->Open(drive);
    return open_;
}

bool DeviceSession::OpenForWriting(int drive) {
    Close();
    open_ = device_ && device_->OpenForWriting(drive);
    return open_;
}

void DeviceSession::Close() {
    if (open_) device_->Close();
    open_ = false;
}

bool DeviceSession::Read(int64_t offset, void* buffer, uint32_t count) {
    return open_ && Reachable(offset, count) && device_->Read(static_cast<int32_t>(offset), buffer, count);
}

bool DeviceSession::Flush() { return open_ && device_->Flush(); }

bool DeviceSession::Write(int64_t offset, const void* data, uint32_t count) {
    return open_ && Reachable(offset, count) && device_->Write(static_cast<int32_t>(offset), data, count);
}

bool DeviceSession::WriteInUnits(int64_t offset, const uint8_t* data, uint32_t count, uint32_t unit,
                                 int64_t& failedAt) {
    if (Write(offset, data, count)) return true;
    for (uint32_t done = 0; done < count; done += unit) {
        if (!Write(offset + done, data + done, std::min(unit, count - done))) {
            failedAt = offset + done;
            return false;
        }
    }
    return true;
}
