// SPDX-License-Identifier: Apache-2.0
#include "ops/HeaderReads.h"

#include <cstring>

#include "disk/Drives.h"
#include "ops/Operations.h"

namespace tavrin {

class HeaderReadingDevice : public DiskSectorRW {
public:
    HeaderReadingDevice(std::unique_ptr<DiskSectorRW> inner, std::shared_ptr<HeaderReads> reads)
        : inner_(std::move(inner)), reads_(std::move(reads)) {}

    bool Open(int target) override {
        Close();
        return Opened(target, inner_->Open(target));
    }
    bool OpenToLook(int target) override {
        Close();
        if (!reads_->Holds(target) || !DriveStillChosenTarget(target)) return Opened(target, inner_->OpenToLook(target));
        drive_ = pending_ = target;
        return true;
    }
    bool OpenForWriting(int target) override {
        Close();
        return Opened(target, inner_->OpenForWriting(target));
    }
    void Close() override {
        drive_ = pending_ = -1;
        inner_->Close();
    }
    bool Read(int32_t offset, void* buffer, uint32_t count) override {
        const bool inside = drive_ >= 0 && offset >= 0 && uint64_t(offset) + count <= HeaderReads::kBytes;
        if (!(inside && reads_->Holds(drive_)) && !OpenNow()) return false;
        if (!inside) return inner_->Read(offset, buffer, count);
        return reads_->Read(*inner_, drive_, static_cast<uint32_t>(offset), buffer, count);
    }
    bool Write(int32_t offset, const void* data, uint32_t count) override {
        reads_->Forget();
        return OpenNow() && inner_->Write(offset, data, count);
    }
    bool Flush() override { return OpenNow() && inner_->Flush(); }
    int LastError() const override { return inner_->LastError(); }

private:
    bool Opened(int target, bool opened) {
        drive_ = opened ? target : -1;
        return opened;
    }
    // The open that waited: a failure here is the device's, with its reason.
    bool OpenNow() {
        if (pending_ < 0) return true;
        const int target = pending_;
        pending_ = -1;
        return Opened(target, inner_->Open(target));
    }

    std::unique_ptr<DiskSectorRW> inner_;
    std::shared_ptr<HeaderReads> reads_;
    int drive_ = -1;
    int pending_ = -1;  // opened here, not yet on the device
};

// All the sectors in one request; when that fails, the caller's own bytes as they asked, so a
// bad sector fails only the reads that touch it.
bool HeaderReads::Read(DiskSectorRW& device, int drive, uint32_t offset, void* buffer, uint32_t count) {
    if (drive != drive_) Forget();
    if (state_ == State::None) {
        drive_ = drive;
        state_ = device.Read(0, bytes_.data(), kBytes) ? State::Held : State::Unreadable;
    }
    if (state_ == State::Unreadable) return device.Read(static_cast<int32_t>(offset), buffer, count);
    std::memcpy(buffer, bytes_.data() + offset, count);
    return true;
}

DeviceFactory HeaderReads::Wrap(std::shared_ptr<HeaderReads> reads, DeviceFactory inner) {
    return [inner = std::move(inner), reads = std::move(reads)]() -> std::unique_ptr<DiskSectorRW> {
        auto device = inner ? inner() : nullptr;
        if (!device) return nullptr;
        return std::make_unique<HeaderReadingDevice>(std::move(device), reads);
    };
}

HeaderReadScope::HeaderReadScope(OperationContext& context) : context_(context) {
    if (context_.headerReads) return;
    owner_ = true;
    outer_ = context_.makeDevice;
    context_.headerReads = std::make_shared<HeaderReads>();
    context_.makeDevice = HeaderReads::Wrap(context_.headerReads, outer_);
}

HeaderReadScope::~HeaderReadScope() {
    if (!owner_) return;
    context_.makeDevice = std::move(outer_);
    context_.headerReads.reset();
}

}  // namespace tavrin
