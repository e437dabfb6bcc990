// SPDX-License-Identifier: Apache-2.0
#pragma once
#include <sys/types.h>

#include <memory>

namespace tavrin {

// The desktop's disk service (udisks2): it unmounts and opens disks for a user who may not do
// so directly, after an authentication prompt when the system's policy asks for one.
class DiskService {
public:
    enum class Result { Done, Missing, Refused, Busy, Failed };

    virtual ~DiskService() = default;
    // Opens the whole disk with this device number, exclusively when writable. With `prompt`
    // false only an authorization the user already gave counts. `fd` is set when Done.
    virtual Result OpenDisk(dev_t disk, bool writable, bool prompt, int& fd) = 0;
    // Unmounts the filesystem on this block device, wherever it is mounted.
    virtual Result Unmount(dev_t device) = 0;
    // Whether the service shows the disk as removable media (or an SD card) that holds no part
    // of the system.
    virtual bool IsRemovableMedia(dev_t disk) = 0;
};

// The service as this process uses it: built without one, or with none answering, every call
// reports Missing. Once the user refused a prompt, nothing asks again while the process runs.
DiskService& TheDiskService();
// Test hook: another service behind the same guard; null puts the system's back. Forgets a
// refusal.
void SetDiskServiceForTesting(std::unique_ptr<DiskService> service);
// Test hook for tests run as root: every direct open of a drive is refused as for a user
// without access, and the service stands in.
void SetDirectAccessRefusedForTesting(bool refused);
bool DirectAccessRefusedForTesting();
// Whether a direct open or unmount refused with `error` may be done by the service instead:
// only for a user the system refused (never root, who keeps the direct way alone).
bool ServiceMayStandIn(int error);
// Whether the system keeps this user from opening the node for reading and writing.
bool DirectAccessRefused(const char* path);

}  // namespace tavrin
