// SPDX-License-Identifier: Apache-2.0
#include "support/FaultInjectingDevice.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace tavrin {

std::vector<TransferRecord> FaultPlan::WritesAfterFirstFailure() const {
    auto failed = [](const TransferRecord& r) { return !r.succeeded; };
    const TransferRecord* first = nullptr;
    bool firstIsWrite = false;
    for (const auto* log : {&reads, &writes}) {
        auto it = std::find_if(log->begin(), log->end(), failed);
        if (it != log->end() && (!first || it->sequence < first->sequence)) {
            first = &*it;
            firstIsWrite = log == &writes;
        }
    }
    int firstFailure = first ? first->sequence : 0;
    if (failedFlushAt > 0 && (firstFailure == 0 || failedFlushAt < firstFailure)) {
        firstFailure = failedFlushAt;
        firstIsWrite = false;
    }
    std::vector<TransferRecord> after;
    if (firstFailure == 0) return after;
    auto retriesFirst = [&](const TransferRecord& r) {
        return firstIsWrite && r.offset >= first->offset &&
               int64_t{r.offset} + r.count <= int64_t{first->offset} + first->count;
    };
    std::copy_if(writes.begin(), writes.end(), std::back_inserter(after), [&](const TransferRecord& r) {
        return r.sequence > firstFailure && !r.injected && !retriesFirst(r);
    });
    return after;
}

bool FaultPlan::AnyTransferFailed() const {
    auto failed = [](const TransferRecord& r) { return !r.succeeded; };
    return std::any_of(reads.begin(), reads.end(), failed) || std::any_of(writes.begin(), writes.end(), failed);
}

FaultInjectingDevice::FaultInjectingDevice(std::unique_ptr<DiskSectorRW> inner, std::shared_ptr<FaultPlan> plan)
    : owned_(std::move(inner)), inner_(*owned_), plan_(std::move(plan)) {
    ++plan_->devicesAlive;
}

FaultInjectingDevice::FaultInjectingDevice(DiskSectorRW& inner, std::shared_ptr<FaultPlan> plan)
    : inner_(inner), plan_(std::move(plan)) {
    ++plan_->devicesAlive;
}

FaultInjectingDevice::~FaultInjectingDevice() {
    // An operation that forgets to close leaves openDevices above 0 for the test to see; the
    // wrapped device is still released so that the test's files are not held.
    if (open_) inner_.Close();
    --plan_->devicesAlive;
}

bool FaultInjectingDevice::Open(int target) {
    return OpenWith([&] { return inner_.Open(target); });
}

bool FaultInjectingDevice::OpenForWriting(int target) {
    return OpenWith([&] { return inner_.OpenForWriting(target); });
}

bool FaultInjectingDevice::OpenToLook(int target) {
    return OpenWith([&] { return inner_.OpenToLook(target); });
}

bool FaultInjectingDevice::OpenWith(const std::function<bool()>& open) {
    const int number = ++plan_->opens;
    if (open_) {
        open_ = false;
        --plan_->openDevices;
    }
    if (number == plan_->failOpenNumber) {
        inner_.Close();
        return Failed(true);
    }
    if (!open()) return Failed(false);
    open_ = true;
    ++plan_->successfulOpens;
    ++plan_->openDevices;
    return true;
}

void FaultInjectingDevice::Close() {
    ++plan_->closes;
    if (open_) {
        open_ = false;
        --plan_->openDevices;
    }
    inner_.Close();
}

bool FaultInjectingDevice::TouchesFailByte(int32_t offset, uint32_t count) const {
    auto touches = [&](int64_t at) { return at >= offset && at < static_cast<int64_t>(offset) + count; };
    if (plan_->failAtByte && touches(*plan_->failAtByte)) return true;
    return std::any_of(plan_->badBytes.begin(), plan_->badBytes.end(), touches);
}

bool FaultInjectingDevice::Read(int32_t offset, void* buffer, uint32_t count) {
    return Transfer(plan_->reads, plan_->failReadNumber, offset, count,
                    [&] { return inner_.Read(offset, buffer, count); });
}

bool FaultInjectingDevice::Write(int32_t offset, const void* data, uint32_t count) {
    return Transfer(plan_->writes, plan_->failWriteNumber, offset, count,
                    [&] { return inner_.Write(offset, data, count); });
}

bool FaultInjectingDevice::Flush() {
    ++plan_->flushes;
    const bool injected = plan_->flushes == plan_->failFlushNumber;
    const bool flushed = !injected && inner_.Flush();
    if (flushed) return true;
    if (plan_->failedFlushAt == 0) plan_->failedFlushAt = plan_->transfers;
    return Failed(injected);
}

bool FaultInjectingDevice::Failed(bool injected) {
    lastError_ = injected ? plan_->injectedError : inner_.LastError();
    return false;
}

bool FaultInjectingDevice::Transfer(std::vector<TransferRecord>& log, int failNumber, int32_t offset, uint32_t count,
                                    const std::function<bool()>& forward) {
    TransferRecord record{++plan_->transfers, offset, count, false, false};
    const bool numbered = static_cast<int>(log.size()) + 1 == failNumber;
    record.injected = numbered || TouchesFailByte(offset, count);
    if (numbered && plan_->numberedFailuresStay) plan_->badBytes.push_back(offset);
    record.succeeded = !record.injected && forward();
    log.push_back(record);
    return record.succeeded || Failed(record.injected);
}

DeviceFactory MakeFaultInjectingFactory(DeviceFactory inner, std::shared_ptr<FaultPlan> plan) {
    return [inner = std::move(inner), plan = std::move(plan)]() -> std::unique_ptr<DiskSectorRW> {
        auto device = inner ? inner() : nullptr;
        if (!device) return nullptr;
        return std::make_unique<FaultInjectingDevice>(std::move(device), plan);
    };
}

}  // namespace tavrin
