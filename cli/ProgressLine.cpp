// SPDX-License-Identifier: Apache-2.0
#include "cli/ProgressLine.h"

#include <cstdio>
#include <string>

namespace tavrin {

namespace {

class CountingDevice : public DiskSectorRW {
public:
    CountingDevice(std::unique_ptr<DiskSectorRW> inner, std::shared_ptr<TransferCounter> counter)
        : inner_(std::move(inner)), counter_(std::move(counter)) {}
    bool Open(int target) override { return inner_->Open(target); }
    bool OpenForWriting(int target) override { return inner_->OpenForWriting(target); }
    bool OpenToLook(int target) override { return inner_->OpenToLook(target); }
    void Close() override { inner_->Close(); }
    bool Read(int32_t offset, void* buffer, uint32_t count) override {
        return Count(inner_->Read(offset, buffer, count), count);
    }
    bool Write(int32_t offset, const void* data, uint32_t count) override {
        return Count(inner_->Write(offset, data, count), count);
    }
    bool Flush() override { return inner_->Flush(); }
    int LastError() const override { return inner_->LastError(); }

private:
    bool Count(bool done, uint32_t count) {
        if (done) counter_->bytes += count;
        return done;
    }
    std::unique_ptr<DiskSectorRW> inner_;
    std::shared_ptr<TransferCounter> counter_;
};

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

DeviceFactory CountingDeviceFactory(DeviceFactory inner, std::shared_ptr<TransferCounter> counter) {
    return [inner = std::move(inner), counter = std::move(counter)]() -> std::unique_ptr<DiskSectorRW> {
        auto device = inner();
        if (!device) return nullptr;
        return std::make_unique<CountingDevice>(std::move(device), counter);
    };
}

std::string ByteSizeText(uint64_t bytes) {
    static const char* const units[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024) return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes) / 1024;
    int unit = 0;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, units[unit]);
    return text;
}

ProgressLine::ProgressLine(bool enabled, std::shared_ptr<TransferCounter> counter)
    : enabled_(enabled), counter_(std::move(counter)) {}

void ProgressLine::Update(int percent) {
    if (!enabled_) return;
    const auto now = Clock::now();
    if (percent == 0 || percent < lastPercent_) {
        // A new run (Verify after Program), or the reset after the end: measured afresh.
        started_ = now;
        startBytes_ = counter_->bytes;
        lastPercent_ = 0;
        Finish();
        if (percent == 0) return;
    }
    if (percent == lastPercent_ && now - lastDraw_ < kRedrawInterval) return;
    lastPercent_ = percent;
    lastDraw_ = now;
    const uint64_t moved = counter_->bytes - startBytes_;
    const double seconds = std::chrono::duration<double>(now - started_).count();
    const auto perSecond = seconds > 0 ? static_cast<uint64_t>(static_cast<double>(moved) / seconds) : 0;
    std::fprintf(stderr, "\r%3d%%  %s  %s/s\033[K", percent, ByteSizeText(moved).c_str(),
                 ByteSizeText(perSecond).c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void ProgressLine::Finish() {
    if (!drawn_) return;
    std::fputc('\n', stderr);
    drawn_ = false;
    lastPercent_ = -1;
}

}  // namespace tavrin
