// SPDX-License-Identifier: Apache-2.0
#include "ops/DeviceSession.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace tavrin {

namespace {

constexpr int64_t kReach = int64_t{1} << 31;

}  // namespace

DeviceSession::DeviceSession(const DeviceFactory& makeDevice) : device_(makeDevice ? makeDevice() : nullptr) {}

DeviceSession::~DeviceSession() { Close(); }

bool DeviceSession::Open(int drive) {
    Close();
    open_ = Done(device_ && device_->Open(drive));
    return open_;
}

bool DeviceSession::OpenToLook(int drive) {
    Close();
    open_ = Done(device_ && device_->OpenToLook(drive));
    return open_;
}

bool DeviceSession::OpenForWriting(int drive) {
    Close();
    open_ = Done(device_ && device_->OpenForWriting(drive));
    return open_;
}

void DeviceSession::Close() {
    if (open_) device_->Close();
    open_ = false;
}

bool DeviceSession::Done(bool done) {
    if (!done) error_ = device_ ? device_->LastError() : ENODEV;
    return done;
}

bool DeviceSession::Reaches(int64_t offset, uint32_t count) {
    if (!open_) {
        error_ = EBADF;
        return false;
    }
    if (offset < 0 || offset + count > kReach) {
        error_ = EINVAL;
        return false;
    }
    return true;
}

bool DeviceSession::Read(int64_t offset, void* buffer, uint32_t count) {
    return Reaches(offset, count) && Done(device_->Read(static_cast<int32_t>(offset), buffer, count));
}

bool DeviceSession::Flush() {
    if (!open_) error_ = EBADF;
    return open_ && Done(device_->Flush());
}

bool DeviceSession::Write(int64_t offset, const void* data, uint32_t count) {
    return Reaches(offset, count) && Done(device_->Write(static_cast<int32_t>(offset), data, count));
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

std::string DeviceSession::FailureReason() const {
    return error_ == 0 ? std::string() : std::generic_category().message(error_);
}

}  // namespace tavrin
