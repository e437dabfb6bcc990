// SPDX-License-Identifier: Apache-2.0
#include "support/ServiceAccessRig.h"

#include <fcntl.h>

#include <fstream>
#include <sstream>

namespace tavrin {

namespace opstest {

namespace {

class StandInService : public DiskService {
public:
    StandInService(FakeDriveTree& tree, std::shared_ptr<ServiceScript> script)
        : tree_(tree), script_(std::move(script)) {}

    Result OpenDisk(dev_t disk, bool writable, bool prompt, int& fd) override {
        ServiceScript& s = *script_;
        s.openPrompts.push_back(prompt);
        if (disk != tree_.DeviceNumber("sdb")) return Result::Failed;
        if (s.openResult != Result::Done) return s.openResult;
        if (writable && s.busyWhenWritable) return Result::Busy;
        const std::string path = s.handOut.empty() ? tree_.NodePath("sdb") : s.handOut;
        fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
        return fd >= 0 ? Result::Done : Result::Failed;
    }

    Result Unmount(dev_t device) override {
        script_->unmounted.push_back(device);
        if (script_->unmountResult != Result::Done) return script_->unmountResult;
        if (!script_->unmountLeavesMounted) UnmountAllOf(device);
        return Result::Done;
    }

    bool IsRemovableMedia(dev_t) override { return script_->removable; }

private:
    void UnmountAllOf(dev_t device) {
        std::ifstream mounts(tree_.MountsPath());
        for (std::string line; std::getline(mounts, line);) {
            std::istringstream fields(line);
            std::string source;
            std::string point;
            fields >> source >> point;
            const std::string name = source.substr(source.rfind('/') + 1);
            if (tree_.DeviceNumber(name) == device) tree_.Unmounted(point);
        }
    }

    FakeDriveTree& tree_;
    std::shared_ptr<ServiceScript> script_;
};

}  // namespace

ServiceAccessRig::ServiceAccessRig(uint64_t sectors, uint64_t partitionStart) {
    tree_.AddDisk("sdb", sectors, true, true);
    tree_.AddPartition("sdb", 1, partitionStart, sectors - partitionStart);
    tree_.SetUnmountSucceeds(false);
    tree_.SetUnmountError(EPERM);
    SetDiskServiceForTesting(std::make_unique<StandInService>(tree_, script_));
    SetDirectAccessRefusedForTesting(true);
}

ServiceAccessRig::~ServiceAccessRig() {
    SetDirectAccessRefusedForTesting(false);
    SetDiskServiceForTesting(nullptr);
}

}  // namespace opstest

}  // namespace tavrin
