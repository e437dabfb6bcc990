// SPDX-License-Identifier: Apache-2.0
#include "ops/DeviceSession.h"

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
