// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <cerrno>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "disk/DiskSectorRW.h"

namespace tavrin {

// One Read or Write as the fault device saw it.
struct TransferRecord {
    int sequence = 0;  // place among all reads and writes of the plan, from 1
    int32_t offset = 0;
    uint32_t count = 0;
    bool succeeded = false;  // false when injected or when the wrapped device failed
    bool injected = false;
};

// What to fail, and what happened, shared by every device made from one plan so that a test
// sees the whole run of an operation however many devices it creates.
struct FaultPlan {
    // 1-based numbers of the Open (either kind), Read and Write calls to fail, counted over the whole plan
    // (0: none).
    int failOpenNumber = 0;
    int failReadNumber = 0;
    int failWriteNumber = 0;
    int failFlushNumber = 0;
    int injectedError = EIO;  // the errno that an injected failure leaves on its device
    // Every transfer whose bytes include this offset fails.
    std::optional<int64_t> failAtByte;
    // A transfer failed by its number leaves its first byte failing from then on, like a bad
    // spot on the medium: an operation that tries the same bytes again does not get past it.
    bool numberedFailuresStay = false;
    std::vector<int64_t> badBytes;  // the spots so left

    int opens = 0;          // Open calls
    int successfulOpens = 0;
    int closes = 0;         // Close calls
    int flushes = 0;        // Flush calls
    int failedFlushAt = 0;  // transfers done when the first flush failed (0: none failed)
    int openDevices = 0;    // devices now open: 0 once everything was closed again
    int devicesAlive = 0;   // devices made and not yet deleted
    int transfers = 0;      // reads and writes so far
    std::vector<TransferRecord> reads;
    std::vector<TransferRecord> writes;

    // Writes passed to the wrapped device after the first failed read or write: what a test
    // asserts to be empty. When that failure was a write, its own bytes written again (an
    // operation finding which part of a large write failed) do not count.
    std::vector<TransferRecord> WritesAfterFirstFailure() const;
    bool AnyTransferFailed() const;
};

// Wraps another device (owned or borrowed) and fails transfers as its plan says.
class FaultInjectingDevice : public DiskSectorRW {
public:
    FaultInjectingDevice(std::unique_ptr<DiskSectorRW> inner, std::shared_ptr<FaultPlan> plan);
    FaultInjectingDevice(DiskSectorRW& inner, std::shared_ptr<FaultPlan> plan);
    ~FaultInjectingDevice() override;
    FaultInjectingDevice(const FaultInjectingDevice&) = delete;
    FaultInjectingDevice& operator=(const FaultInjectingDevice&) = delete;

    bool Open(int target) override;
    bool OpenForWriting(int target) override;
    bool OpenToLook(int target) override;
    void Close() override;
    bool Read(int32_t offset, void* buffer, uint32_t count) override;
    bool Write(int32_t offset, const void* data, uint32_t count) override;
    bool Flush() override;
    int LastError() const override { return lastError_; }

    const FaultPlan& Plan() const { return *plan_; }

private:
    bool OpenWith(const std::function<bool()>& open);
    bool TouchesFailByte(int32_t offset, uint32_t count) const;
    // False, with the error of the injected failure or of the wrapped device's.
    bool Failed(bool injected);
    bool Transfer(std::vector<TransferRecord>& log, int failNumber, int32_t offset, uint32_t count,
                  const std::function<bool()>& forward);

    std::unique_ptr<DiskSectorRW> owned_;
    DiskSectorRW& inner_;
    std::shared_ptr<FaultPlan> plan_;
    bool open_ = false;
    int lastError_ = 0;
};

// A factory whose devices wrap those of `inner` and all consult `plan`.
DeviceFactory MakeFaultInjectingFactory(DeviceFactory inner, std::shared_ptr<FaultPlan> plan);

}  // namespace tavrin
