// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <chrono>
#include <cstdint>
#include <memory>

#include "disk/DiskSectorRW.h"

namespace tavrin {

// Bytes moved by the sector devices of one command, for the progress line's speed.
struct TransferCounter {
    uint64_t bytes = 0;
};

// Wraps the devices that the operations create so that their transfers are counted.
DeviceFactory CountingDeviceFactory(DeviceFactory inner, std::shared_ptr<TransferCounter> counter);

// "45%  12.0 MiB  30.5 MiB/s" on standard error, redrawn in place; only on a terminal.
class ProgressLine {
public:
    ProgressLine(bool enabled, std::shared_ptr<TransferCounter> counter);
    void Update(int percent);
    // Ends the line so that a message can follow it.
    void Finish();

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    std::shared_ptr<TransferCounter> counter_;
    bool drawn_ = false;
    int lastPercent_ = -1;
    Clock::time_point started_ = Clock::now();
    uint64_t startBytes_ = 0;
    Clock::time_point lastDraw_{};
};

// "1.5 GiB", "512.0 KiB", "300 B".
std::string ByteSizeText(uint64_t bytes);

}  // namespace tavrin
