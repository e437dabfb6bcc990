// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <optional>
#include <string>

#include "disk/linux/DiskService.h"

struct sd_bus;
struct sd_bus_message;

namespace tavrin {

// udisks2 on the system bus, through sd-bus. Connects on first use; a bus or service that is
// not there is Missing, a polkit refusal is Refused.
class UdisksService : public DiskService {
public:
    UdisksService() = default;
    ~UdisksService() override;
    UdisksService(const UdisksService&) = delete;
    UdisksService& operator=(const UdisksService&) = delete;

    Result OpenDisk(dev_t disk, bool writable, bool prompt, int& fd) override;
    Result Unmount(dev_t device) override;
    bool IsRemovableMedia(dev_t disk) override;

private:
    sd_bus* Bus();
    // The block object with this device number; nothing (and the reason) when none is found.
    std::optional<std::string> BlockObject(dev_t number, Result& failure);
    Result CallOpenDevice(const std::string& object, bool writable, bool prompt, int flags, int& fd);
    template <typename T>
    bool Property(const std::string& object, const char* interface, const char* name, char type, T& value);

    sd_bus* bus_ = nullptr;
    bool connectFailed_ = false;
};

}  // namespace tavrin
